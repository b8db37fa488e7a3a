// mapconv end to end: the real program, its exit codes, its exact messages
// on standard error, nothing on standard output, and the files it leaves.
#include <gtest/gtest.h>

// GCC 12 reports a false overlap in std::string concatenation (its bug
// 105329); the messages below are built by concatenating.
#pragma GCC diagnostic ignored "-Wrestrict"

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "datafile/ascii.h"
#include "datafile/binary.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "sample_set.h"
#include "support/test_support.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

const std::string kUsage =
    "\nUsage:  mapconv [options] input output\n"
    "\tinput  = existing Kelm ascii data file\n"
    "\toutput = Kelm binary data file to create\n"
    "\n\tOptions:\n"
    "\t\t-f\twrites output even if file already exists\n";

struct RunResult {
    int exit_code;
    std::string out;
    std::string err;
};

class Mapconv : public ::testing::Test {
protected:
    void SetUp() override {
        input = dir.file("in.asc");
        output = dir.file("out.dat");
        const SampleSet set(SampleShape{2, 5, 3, true, true, 7});
        ASSERT_EQ(write_sample_ascii(input.c_str(), 2, set), NO_ERROR);
    }

    RunResult run(const std::vector<std::string>& args) {
        std::string command = "'" MAPCONV_PATH "'";
        for (const std::string& a : args) command += " '" + a + "'";
        command += " >'" + dir.file("stdout") + "' 2>'" + dir.file("stderr") + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(dir.file("stdout")),
                read_file(dir.file("stderr"))};
    }

    // The binary file the library writes for the input, for comparing.
    std::string expected_binary() {
        datafile_ident ident{};
        datafile_record record{};
        intens_matrix intens{};
        phase_matrix phase{};
        EXPECT_EQ(datafile_read_ascii(input.c_str(), &ident, &record, &intens, &phase), NO_ERROR);
        const std::string path = dir.file("expected.dat");
        EXPECT_EQ(datafile_write_binary(path.c_str(), &ident, &record, &intens, &phase), NO_ERROR);
        intens_matrix_free(&intens);
        phase_matrix_free(&phase);
        return read_file(path);
    }

    std::string unable() const { return "Unable to convert \"" + input + "\" to \"" + output + "\" because...\n"; }

    // Names in the folder besides the test's own files: no temporary file
    // may be left behind.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        const auto listed = plat::list_dir(dir.path().c_str());
        if (!listed) return {"(folder cannot be listed)"};
        for (const std::string& n : *listed)
            if (n != "in.asc" && n != "out.dat" && n != "stdout" && n != "stderr" && n != "expected.dat")
                names.push_back(n);
        return names;
    }

    TempDir dir;
    std::string input;
    std::string output;
};

TEST_F(Mapconv, ConvertsAndSaysSoInTwoLines) {
    const RunResult r = run({input, output});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Converting \"" + input + "\" to \"" + output + "\"\nConversion from \"" + input + "\" to \"" +
                         output + "\" successful\n");
    EXPECT_EQ(read_file(output), expected_binary());
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(Mapconv, BadCommandLinesPrintTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {input},
        {input, output, dir.file("third")},
        {"-x", input, output},
        {"-", input, output},
        {"-f", input},
        {input, "-f"},
    };
    for (const auto& args : cases) {
        const RunResult r = run(args);
        EXPECT_EQ(r.exit_code, 1) << args.size();
        EXPECT_EQ(r.err, kUsage);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(plat::file_status(output.c_str()));
}

TEST_F(Mapconv, ForceAnywhereAllowsReplacing) {
    const std::string expected = expected_binary();
    for (const auto& args : std::vector<std::vector<std::string>>{
             {input, "-f", output}, {input, output, "-f"}, {"-force", input, output}, {"-f", "-f", input, output}}) {
        write_file(output, "earlier");
        const RunResult r = run(args);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(read_file(output), expected);
    }
}

TEST_F(Mapconv, MissingInputIsReportedBeforeAnExistingOutput) {
    write_file(output, "earlier");
    input = dir.file("absent.asc");
    const RunResult r = run({input, output});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, unable() + "\t\"" + input + "\" does not exist\n");
    // A folder is not an input file either.
    input = dir.path();
    EXPECT_EQ(run({input, output}).exit_code, 2);
}

TEST_F(Mapconv, ExistingOutputIsKeptWithoutForce) {
    write_file(output, "earlier");
    const RunResult r = run({input, output});
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_EQ(r.err, unable() + "\t\"" + output + "\" already exists\n");
    EXPECT_EQ(read_file(output), "earlier");
}

TEST_F(Mapconv, ReadFailuresLeaveTheOutputAsItWas) {
    std::string text = read_file(input);
    text.replace(text.find("\r\n") + 2, 1, "x");  // line 2 starts with a non-number
    write_file(input, text);
    const std::string reading = "\tthere was an error reading the file \"" + input + "\"\n";

    RunResult r = run({input, output});
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_EQ(r.err, "Converting \"" + input + "\" to \"" + output + "\"\n-***- Error in Line 2 -***-\n" + unable() +
                         reading + "\tERR_CORRUPT_DATA_FILE\n");
    EXPECT_FALSE(plat::file_status(output.c_str()));

    write_file(output, "earlier");
    r = run({"-f", input, output});
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_EQ(read_file(output), "earlier");

    write_file(input, "Kelm ASCII Data File - Format 2\r\n");
    r = run({"-f", input, output});
    EXPECT_EQ(r.exit_code, 4);
    EXPECT_NE(r.err.find("-***- Error in Line 2 -***-\n"), std::string::npos);
    EXPECT_NE(r.err.find("\tERR_PREMATURE_EOF\n"), std::string::npos);
    EXPECT_EQ(read_file(output), "earlier");
}

TEST_F(Mapconv, WriteFailuresLeaveNoFileAndNoTemporaryFile) {
    // An input that carries neither block cannot be written.
    datafile_ident ident{};
    datafile_record record{};
    intens_matrix intens{};
    ASSERT_EQ(datafile_write_ascii(input.c_str(), &ident, &record, &intens, nullptr), NO_ERROR);
    const std::string writing = "\tthere was an error writing to the file \"" + output + "\"\n";
    RunResult r = run({input, output});
    EXPECT_EQ(r.exit_code, 5);
    EXPECT_EQ(r.err, "Converting \"" + input + "\" to \"" + output + "\"\n" + unable() + writing +
                         "\tERR_INVALID_PARAM\n");
    EXPECT_FALSE(plat::file_status(output.c_str()));

    write_file(output, "earlier");
    EXPECT_EQ(run({"-f", input, output}).exit_code, 5);
    EXPECT_EQ(read_file(output), "earlier");
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(Mapconv, OutputsThatCannotBeCreated) {
    for (const std::string& target : {dir.path(), dir.file("no/such/folder/out.dat")}) {
        output = target;
        const RunResult r = run({input, output});
        EXPECT_EQ(r.exit_code, 5) << target;
        EXPECT_EQ(r.err, "Converting \"" + input + "\" to \"" + output + "\"\n" + unable() +
                             "\tthere was an error writing to the file \"" + output + "\"\n\tERR_CANT_CREATE_FILE\n");
    }
    EXPECT_TRUE(leftovers().empty());
}

}  // namespace

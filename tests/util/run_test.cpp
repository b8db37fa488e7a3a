#include "util/run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

TEST(RunWait, ExitCodeOfAStartedProgram) {
    EXPECT_EQ(u_run_wait("true", 1), 0);
    EXPECT_EQ(u_run_wait("   false", 0), 1);
    // Started directly, sh gets "exit $0" as one argument and 9 as $0. Run
    // through the interpreter instead, the outer shell would expand $0 and
    // the inner one fail with another code.
    EXPECT_EQ(u_run_wait("sh -c \"exit $0\" 9", 2), 9);
}

TEST(RunWait, ShellBuiltinRunsThroughTheInterpreter) {
    EXPECT_EQ(u_run_wait("exit 3", 1), 3);
    EXPECT_EQ(u_run_wait("  exit 0", 1), 0);
    EXPECT_EQ(u_run_wait("no-such-program-here-1234", 1), 127);  // the interpreter's "not found"
}

TEST(Run, WaitsOnlyWhenAsked) {
    EXPECT_EQ(u_run("sh -c \"exit 4\"", 1, 1), 4);
    EXPECT_EQ(u_run("sh -c \"exit 4\"", 1, 0), 0);
}

TEST(Run, NoInterpreterFallback) {
    EXPECT_EQ(u_run("exit 3", 1, 1), ENOENT);
    EXPECT_EQ(u_run("no-such-program-here-1234", 1, 0), ENOENT);
    EXPECT_EQ(u_run("", 1, 1), ENOENT);
}

// A descriptor the test opens without close-on-exec, as a host would to
// share it with a child.
class SharedDescriptor : public ::testing::Test {
protected:
    void SetUp() override { fd_ = ::open("/dev/null", O_RDONLY); }
    void TearDown() override { ::close(fd_); }
    std::string probe() const { return "sh -c \"test -e /proc/self/fd/" + std::to_string(fd_) + "\""; }
    int fd_ = -1;
};

TEST_F(SharedDescriptor, RunWaitPassesItOnRunDoesNot) {
    ASSERT_GE(fd_, 3);
    EXPECT_EQ(u_run_wait(probe().c_str(), 1), 0);
    EXPECT_EQ(u_run(probe().c_str(), 1, 1), 1);
}

}  // namespace

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "calibration/bounded_text.h"
#include "calibration/cal_vocab.h"

namespace {

TEST(CalVocabulary, IsStrictlySortedByByteValueAndLowerCase) {
    ASSERT_EQ(kCalVocabulary.size(), 236u);
    for (size_t i = 0; i < kCalVocabulary.size(); ++i) {
        const std::string_view word = kCalVocabulary[i];
        ASSERT_FALSE(word.empty());
        EXPECT_LE(word.size(), kCalWordMax);
        for (char c : word) EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c))) << word;
        if (i > 0) {
            EXPECT_LT(kCalVocabulary[i - 1], word) << "order at " << word;
        }
    }
}

TEST(CalVocabulary, EveryWordFindsItsOwnToken) {
    for (size_t i = 0; i < kCalVocabulary.size(); ++i) {
        EXPECT_EQ(cal_find_token(kCalVocabulary[i]), static_cast<int32_t>(i));
        EXPECT_EQ(cal_token_word(static_cast<int32_t>(i)), kCalVocabulary[i]);
    }
}

TEST(CalVocabulary, LookupIgnoresCaseAndRejectsOtherWords) {
    EXPECT_EQ(cal_token_of("NomMag"), cal_tok("nommag"));
    EXPECT_EQ(cal_token_of("FTPAVG_K0"), cal_tok("ftpavg_k0"));
    EXPECT_EQ(cal_token_of(","), cal_tok(","));
    EXPECT_EQ(cal_token_of("nommags"), CAL_TOK_UNRECOGNISED);
    EXPECT_EQ(cal_token_of("nomma"), CAL_TOK_UNRECOGNISED);
    EXPECT_EQ(cal_token_of(""), CAL_TOK_UNRECOGNISED);
    EXPECT_EQ(cal_token_of(std::string(200, 'a')), CAL_TOK_UNRECOGNISED);
    EXPECT_TRUE(cal_token_word(CAL_TOK_EOF).empty());
    EXPECT_TRUE(cal_token_word(236).empty());
}

TEST(CalVocabulary, WordsOnEitherSideOfTheListAreNotFound) {
    EXPECT_EQ(cal_find_token("!"), CAL_TOK_UNRECOGNISED);       // before ","
    EXPECT_EQ(cal_find_token("zoomz"), CAL_TOK_UNRECOGNISED);   // after "zoom"
    EXPECT_EQ(cal_find_token("Zoom"), CAL_TOK_UNRECOGNISED);    // exact lookup wants lower case
}

}  // namespace

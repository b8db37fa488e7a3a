#include "calibration/cal_vocab.h"

#include <cctype>

#include "calibration/bounded_text.h"

int32_t cal_token_of(std::string_view word) {
    char lower[kCalWordMax];
    if (word.size() > sizeof lower) return CAL_TOK_UNRECOGNISED;
    for (size_t i = 0; i < word.size(); ++i) {
        lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
    }
    return cal_find_token(std::string_view(lower, word.size()));
}

std::string_view cal_token_word(int32_t token) {
    if (token < 0 || static_cast<size_t>(token) >= kCalVocabulary.size()) return {};
    return kCalVocabulary[static_cast<size_t>(token)];
}

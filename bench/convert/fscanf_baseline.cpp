#include "fscanf_baseline.h"

#include <cstdio>
#include <cstring>

#include "datafile/binary.h"
#include "errors/err_codes.h"

int fscanf_baseline_convert(const char* input, const char* output) {
    FILE* f = std::fopen(input, "r");
    if (f == nullptr) return ERR_CANT_OPEN_FILE;
    datafile_ident ident{};
    datafile_record record{};
    intens_matrix intens{};
    phase_matrix phase{};
    char line[512];
    int32_t result = NO_ERROR;
    int last = 13;
    for (int n = 1; n <= last && result == NO_ERROR; ++n) {
        if (std::fgets(line, sizeof line, f) == nullptr) result = ERR_PREMATURE_EOF;
        else if (n == 1 && std::strstr(line, "Format 2") != nullptr) last = 14;
        else if (n == 3 && std::sscanf(line, "%hd %hd %hd %hd %hd %hd", &intens.x, &intens.y, &intens.width,
                                       &intens.height, &intens.n_buckets, &intens.aux) != 6)
            result = ERR_CORRUPT_DATA_FILE;
        else if (n == 4 && std::sscanf(line, "%hd %hd %hd %hd", &phase.x, &phase.y, &phase.width, &phase.height) != 4)
            result = ERR_CORRUPT_DATA_FILE;
    }
    std::fgets(line, 3, f);
    if (result == NO_ERROR && intens_element_count(intens) > 0 && intens_matrix_alloc(&intens) == NO_ERROR)
        for (uint32_t i = 0; i < intens.size && result == NO_ERROR; ++i)
            if (std::fscanf(f, "%hu ", &intens.matrix[i]) != 1) result = ERR_CANT_READ_FILE;
    std::fgets(line, 3, f);
    if (result == NO_ERROR && phase_element_count(phase) > 0 && phase_matrix_alloc(&phase) == NO_ERROR)
        for (uint32_t i = 0; i < phase.size && result == NO_ERROR; ++i)
            if (std::fscanf(f, "%d ", &phase.matrix[i]) != 1) result = ERR_CANT_READ_FILE;
    std::fclose(f);
    if (result == NO_ERROR) result = datafile_write_binary(output, &ident, &record, &intens, &phase);
    intens_matrix_free(&intens);
    phase_matrix_free(&phase);
    return result;
}

#pragma once
// "vireo --analyse-melt FILE [FILE...] [--model M] [--range LOW:HIGH]
// [--units kJ|kcal] [--ct C1,C2,...]": the melting report of saved
// spectrometer data files, without a window. The cells of all files form one
// set, numbered 1 to 6 in the first file, 7 to 12 in the second, and so on.

#include <cstdio>
#include <string>
#include <vector>

namespace vireo {

inline constexpr const char* kAnalyseMeltUsage =
    "usage: vireo --analyse-melt FILE [FILE...] [--model unimolecular|heteroduplex|homoduplex]\n"
    "       [--range LOW:HIGH] [--units kJ|kcal] [--ct C1,C2,...]\n";

// `args` are the words after "--analyse-melt". Returns the exit status: 0,
// or 2 for a wrong option or a file that cannot be read (the reason goes to `err`).
int RunAnalyseMelt(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace vireo

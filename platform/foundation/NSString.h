#pragma once
// The string operations the system uses: printf-style formatting and compare:.

#include <string>
#include <string_view>

// printf semantics through std::snprintf, so padding and "-0" come out as C prints them.
std::string stringWithFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

enum NSComparisonResult { NSOrderedAscending = -1, NSOrderedSame = 0, NSOrderedDescending = 1 };

// compare: case-sensitive, with canonically equivalent forms equal (a precomposed accented
// letter and its decomposed form). Invalid UTF-8 compares byte for byte.
NSComparisonResult compare(std::string_view string, std::string_view other);

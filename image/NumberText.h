#pragma once
#include <string_view>

// Numbers typed into the frequency and limit fields, and read out of band
// texts, are taken as the classic C runtime reads them: the longest leading
// decimal number counts and anything after it is ignored, whatever the
// user's locale. Leading blanks are skipped.

// "450.1abc" gives 450.1, "450." gives 450, "" and "abc" give 0.
double LeadingNumber(std::string_view text);
// The leading number truncated toward zero ("136.9" gives 136); 0 for a
// number too large to be a whole count.
long long LeadingInteger(std::string_view text);

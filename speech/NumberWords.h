// Digit runs read as Spanish words, written the way the later stages read letters: an
// acute accent marks a stressed vowel, q stands for the k sound before i, and the words of
// one number are mostly joined without blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The words of a run of digits (at least one, most significant first). Leading zeros are
// read "cero " one by one; one remaining digit, or more than 12, digit by digit; 2 to 12
// as a number.
std::string ReadNumber(std::string_view digits);

// The digit run that begins at position i of text (1-based) is replaced by its words; a
// comma right before the run becomes a blank and "coma" goes in front of the words.
void ReplaceDigitRun(std::string& text, std::int64_t i);

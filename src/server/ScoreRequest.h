// Decoding of a score submission's "inf" value: the inverse of the game's score text encoding
// plus the checks every field must pass. A pure function over the text, so a fuzzer can drive
// it directly; whether the token is known and unused is the store's business, not this one's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Longest inf accepted: a full score text with four-byte characters in both free fields is
// about 300 digits, so this leaves room without letting a request hold megabytes.
inline constexpr size_t kMaxInfLength = 1024;
inline constexpr size_t kMaxNameChars = 12;
inline constexpr size_t kMaxExtraChars = 12;
inline constexpr size_t kMaxTokenLength = 64;
inline constexpr int64_t kMaxScore = 10'000'000;

enum class TInfError {
    None,
    Empty,
    TooLong,
    BadLength,     // not a whole number of five-byte groups
    BadCharacter,  // a character outside the encoding's alphabet
    BadPadding,    // the text does not end with "|z=" and the minimal "0" padding
    BadLayout,     // the fields are missing or out of order
    BadType,
    BadKey,
    BadName,
    BadScore,
    BadToken,
    BadExtra,
};

struct TScoreFields {
    std::string Name;
    int64_t Score = 0;
    std::string Token;
    std::string Extra;
};

struct TDecodedInf {
    TInfError Error = TInfError::None;
    TScoreFields Fields;  // meaningful only when Error is None
};

TDecodedInf DecodeScoreInf(std::string_view inf);

// Short lower-case reason for replies and logs ("bad-name").
const char* InfErrorText(TInfError error);

// Characters in a UTF-8 text, or -1 when it is not valid UTF-8 or holds a control character.
int64_t PrintableCharCount(std::string_view text);

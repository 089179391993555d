#include "server/ScoreRequest.h"

#include <optional>

#include "common/ScoreText.h"
#include "common/TextCode.h"

namespace {

constexpr std::string_view kHead = "type=";
constexpr std::string_view kNameTag = "|name=";
constexpr std::string_view kTail = "|z=";

bool InAlphabet(char c) {
    return kBase32Alphabet.find(c) != std::string_view::npos;
}

bool IsTokenChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Removes the "0" padding after "|z=". The game pads with the fewest "0"s that reach a multiple
// of five bytes, so any other count means the text was not made by it.
std::optional<std::string_view> StripPadding(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '0' && text.size() - end < 4) --end;
    const std::string_view body = text.substr(0, end);
    if (body.size() < kTail.size() || body.substr(body.size() - kTail.size()) != kTail) {
        return std::nullopt;
    }
    if ((body.size() + 4) / 5 * 5 != text.size()) return std::nullopt;
    return body;
}

// The structured middle "|score=S|key=K|p=T|add=", each value free of "|".
struct TMiddle {
    std::string_view Score, Key, Token;
    size_t End = 0;  // index just past "|add="
};

std::optional<std::string_view> TakeTagged(std::string_view text, size_t& pos,
                                           std::string_view tag) {
    if (text.compare(pos, tag.size(), tag) != 0) return std::nullopt;
    pos += tag.size();
    const size_t bar = text.find('|', pos);
    if (bar == std::string_view::npos) return std::nullopt;
    const std::string_view value = text.substr(pos, bar - pos);
    pos = bar;
    return value;
}

std::optional<TMiddle> MatchMiddle(std::string_view text, size_t pos) {
    TMiddle m;
    const auto score = TakeTagged(text, pos, "|score=");
    if (!score) return std::nullopt;
    const auto key = TakeTagged(text, pos, "|key=");
    if (!key) return std::nullopt;
    const auto token = TakeTagged(text, pos, "|p=");
    if (!token) return std::nullopt;
    constexpr std::string_view kAddTag = "|add=";
    if (text.compare(pos, kAddTag.size(), kAddTag) != 0) return std::nullopt;
    m.Score = *score;
    m.Key = *key;
    m.Token = *token;
    m.End = pos + kAddTag.size();
    return m;
}

std::optional<int64_t> ParseScore(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > kMaxScore) return std::nullopt;
    return value;
}

bool ValidToken(std::string_view token) {
    if (token.empty() || token.size() > kMaxTokenLength) return false;
    for (char c : token)
        if (!IsTokenChar(c)) return false;
    return true;
}

TDecodedInf Fail(TInfError error) {
    return TDecodedInf{error, {}};
}

}  // namespace

int64_t PrintableCharCount(std::string_view text) {
    int64_t count = 0;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
        } else {
            return -1;
        }
        if (i + length > text.size()) return -1;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return -1;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not text.
        static constexpr uint32_t kMinOf[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinOf[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return -1;
        i += length;
        ++count;
    }
    return count;
}

TDecodedInf DecodeScoreInf(std::string_view inf) {
    if (inf.empty()) return Fail(TInfError::Empty);
    if (inf.size() > kMaxInfLength) return Fail(TInfError::TooLong);
    // Five bytes are forty bits, eight digits: the game's padded text always fills them whole.
    if (inf.size() % 8 != 0) return Fail(TInfError::BadLength);
    for (char c : inf)
        if (!InAlphabet(c)) return Fail(TInfError::BadCharacter);

    const std::string text = BitsToBytes(Base32ToBits(inf));
    const auto body = StripPadding(text);
    if (!body) return Fail(TInfError::BadPadding);
    if (body->compare(0, kHead.size(), kHead) != 0) return Fail(TInfError::BadLayout);
    const size_t typeEnd = body->find('|');
    if (typeEnd == std::string_view::npos) return Fail(TInfError::BadLayout);
    if (body->substr(kHead.size(), typeEnd - kHead.size()) != "0") return Fail(TInfError::BadType);
    if (body->compare(typeEnd, kNameTag.size(), kNameTag) != 0) return Fail(TInfError::BadLayout);

    // The name may itself hold "|" and "=": the first place where the whole structured middle
    // matches ends it.
    const size_t nameStart = typeEnd + kNameTag.size();
    const size_t extraEnd = body->size() - kTail.size();
    std::optional<TMiddle> middle;
    size_t nameEnd = nameStart;
    for (; nameEnd < extraEnd; ++nameEnd) {
        if ((*body)[nameEnd] != '|') continue;
        middle = MatchMiddle(*body, nameEnd);
        if (middle && middle->End <= extraEnd) break;
        middle.reset();
    }
    if (!middle) return Fail(TInfError::BadLayout);

    TDecodedInf out;
    out.Fields.Name = std::string(body->substr(nameStart, nameEnd - nameStart));
    out.Fields.Extra = std::string(body->substr(middle->End, extraEnd - middle->End));
    out.Fields.Token = std::string(middle->Token);
    if (middle->Key.size() != 1 || middle->Key[0] != kScoreKeyLetter) {
        return Fail(TInfError::BadKey);
    }
    const auto score = ParseScore(middle->Score);
    if (!score) return Fail(TInfError::BadScore);
    out.Fields.Score = *score;
    const int64_t nameChars = PrintableCharCount(out.Fields.Name);
    if (nameChars < 1 || nameChars > static_cast<int64_t>(kMaxNameChars)) {
        return Fail(TInfError::BadName);
    }
    if (!ValidToken(out.Fields.Token)) return Fail(TInfError::BadToken);
    const int64_t extraChars = PrintableCharCount(out.Fields.Extra);
    if (extraChars < 0 || extraChars > static_cast<int64_t>(kMaxExtraChars)) {
        return Fail(TInfError::BadExtra);
    }
    return out;
}

const char* InfErrorText(TInfError error) {
    switch (error) {
        case TInfError::None:
            return "ok";
        case TInfError::Empty:
            return "empty";
        case TInfError::TooLong:
            return "too-long";
        case TInfError::BadLength:
            return "bad-length";
        case TInfError::BadCharacter:
            return "bad-character";
        case TInfError::BadPadding:
            return "bad-padding";
        case TInfError::BadLayout:
            return "bad-layout";
        case TInfError::BadType:
            return "bad-type";
        case TInfError::BadKey:
            return "bad-key";
        case TInfError::BadName:
            return "bad-name";
        case TInfError::BadScore:
            return "bad-score";
        case TInfError::BadToken:
            return "bad-token";
        case TInfError::BadExtra:
            return "bad-extra";
    }
    return "unknown";
}

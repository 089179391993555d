#include "shell/daily/DailyTable.h"

#include <cstdlib>

#include "common/WesternText.h"

namespace {
// A small reader for the one JSON shape the service sends: objects, arrays, strings and whole
// numbers. Unknown keys are skipped whatever they hold, so the service may add fields.
class TJsonReader {
public:
    explicit TJsonReader(std::string_view text) : Text(text) {}

    bool Failed() const { return Bad; }
    bool AtEnd() {
        Space();
        return Pos == Text.size();
    }

    bool Take(char c) {
        Space();
        if (Pos < Text.size() && Text[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool Expect(char c) {
        if (!Take(c)) Bad = true;
        return !Bad;
    }
    bool Peek(char c) {
        Space();
        return Pos < Text.size() && Text[Pos] == c;
    }

    std::optional<std::string> String() {
        if (!Expect('"')) return std::nullopt;
        std::string out;
        while (Pos < Text.size()) {
            const char c = Text[Pos++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 32) break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (Pos >= Text.size()) break;
            const char e = Text[Pos++];
            if (e == 'u') {
                if (!Unicode(out)) break;
                continue;
            }
            const std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
            const size_t k = from.find(e);
            if (k == std::string_view::npos) break;
            out += to[k];
        }
        Bad = true;
        return std::nullopt;
    }

    // A whole number in the range of int32_t.
    std::optional<int32_t> Integer() {
        Space();
        const size_t start = Pos;
        if (Pos < Text.size() && Text[Pos] == '-') ++Pos;
        while (Pos < Text.size() && Text[Pos] >= '0' && Text[Pos] <= '9' && Pos - start < 11) ++Pos;
        const std::string digits(Text.substr(start, Pos - start));
        if (digits.empty() || digits == "-" || (Pos < Text.size() && IsNumberChar(Text[Pos]))) {
            Bad = true;
            return std::nullopt;
        }
        const long long v = std::strtoll(digits.c_str(), nullptr, 10);
        if (v < INT32_MIN || v > INT32_MAX) {
            Bad = true;
            return std::nullopt;
        }
        return static_cast<int32_t>(v);
    }

    // Skips any value, nested at most a few levels.
    void SkipValue(int depth = 0) {
        Space();
        if (depth > 16 || Pos >= Text.size()) {
            Bad = true;
            return;
        }
        const char c = Text[Pos];
        if (c == '"') {
            String();
        } else if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++Pos;
            if (Take(close)) return;
            do {
                if (c == '{' && (!String() || !Expect(':'))) return;
                SkipValue(depth + 1);
            } while (!Bad && Take(','));
            Expect(close);
        } else {
            // true, false, null and numbers: their characters up to the next delimiter.
            const size_t start = Pos;
            while (Pos < Text.size() &&
                   (IsNumberChar(Text[Pos]) || (Text[Pos] >= 'a' && Text[Pos] <= 'z')))
                ++Pos;
            if (Pos == start) Bad = true;
        }
    }

    // Calls field(key) for each key of an object; field reads the value or returns false to
    // have it skipped.
    template <typename TField>
    bool Object(TField field) {
        if (!Expect('{')) return false;
        if (Take('}')) return true;
        do {
            const auto key = String();
            if (!key || !Expect(':')) return false;
            if (!field(*key)) SkipValue();
        } while (!Bad && Take(','));
        return Expect('}');
    }

private:
    static bool IsNumberChar(char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    }
    void Space() {
        while (Pos < Text.size() &&
               (Text[Pos] == ' ' || Text[Pos] == '\t' || Text[Pos] == '\n' || Text[Pos] == '\r'))
            ++Pos;
    }
    // \uXXXX (with a surrogate pair for the characters above the first plane) as UTF-8.
    bool Unicode(std::string& out) {
        auto hex4 = [&](uint32_t& v) {
            if (Pos + 4 > Text.size()) return false;
            v = 0;
            for (int i = 0; i < 4; ++i) {
                const char h = Text[Pos++];
                v <<= 4;
                if (h >= '0' && h <= '9')
                    v |= static_cast<uint32_t>(h - '0');
                else if (h >= 'a' && h <= 'f')
                    v |= static_cast<uint32_t>(h - 'a' + 10);
                else if (h >= 'A' && h <= 'F')
                    v |= static_cast<uint32_t>(h - 'A' + 10);
                else
                    return false;
            }
            return true;
        };
        uint32_t cp = 0;
        if (!hex4(cp)) return false;
        if (cp >= 0xD800 && cp < 0xDC00) {
            uint32_t low = 0;
            if (Pos + 2 > Text.size() || Text[Pos] != '\\' || Text[Pos + 1] != 'u') return false;
            Pos += 2;
            if (!hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        AppendUtf8(out, cp);
        return true;
    }

    std::string_view Text;
    size_t Pos = 0;
    bool Bad = false;
};

// {"place":P,"name":"...","hundredths":N}; the name only when wanted.
std::optional<TDailyPlace> ReadPlace(TJsonReader& r, bool named) {
    TDailyPlace p;
    bool place = false, time = false, name = !named;
    const bool ok = r.Object([&](const std::string& key) {
        if (key == "place") {
            const auto v = r.Integer();
            place = v.has_value();
            p.Place = v.value_or(0);
        } else if (key == "hundredths") {
            const auto v = r.Integer();
            time = v.has_value();
            p.Hundredths = v.value_or(0);
        } else if (key == "name" && named) {
            const auto v = r.String();
            name = v.has_value();
            p.Name = WesternFromUtf8(v.value_or(""));
        } else {
            return false;
        }
        return true;
    });
    if (!ok || r.Failed() || !place || !time || !name || p.Place < 1 || p.Hundredths < 1)
        return std::nullopt;
    return p;
}
}  // namespace

std::optional<TDailyTable> ParseDailyTable(std::string_view json) {
    // A table of a hundred short names is a few kilobytes.
    if (json.size() > 256 * 1024) return std::nullopt;
    TJsonReader r(json);
    TDailyTable table;
    bool date = false, entries = false, bad = false;
    const bool ok = r.Object([&](const std::string& key) {
        if (key == "date") {
            const auto v = r.String();
            date = v.has_value();
            table.Date = v.value_or("");
        } else if (key == "entries") {
            entries = true;
            if (!r.Expect('[')) return true;
            if (r.Take(']')) return true;
            do {
                auto p = ReadPlace(r, true);
                if (!p || table.Entries.size() >= kMaxTableEntries) {
                    bad = true;
                    return true;
                }
                table.Entries.push_back(std::move(*p));
            } while (r.Take(','));
            r.Expect(']');
        } else if (key == "own") {
            if (r.Peek('n')) return false;  // "own": null is no own place
            table.Own = ReadPlace(r, false);
            if (!table.Own) bad = true;
        } else {
            return false;
        }
        return true;
    });
    if (!ok || bad || r.Failed() || !r.AtEnd() || !date || !entries) return std::nullopt;
    return table;
}

std::optional<TDailyLeader> ParseDailyLeader(std::string_view json) {
    if (json.size() > kMaxLeaderLogBytes + 1024) return std::nullopt;
    TJsonReader r(json);
    TDailyLeader leader;
    bool date = false, name = false, time = false, log = false;
    const bool ok = r.Object([&](const std::string& key) {
        if (key == "date") {
            const auto v = r.String();
            date = v.has_value();
            leader.Date = v.value_or("");
        } else if (key == "name") {
            const auto v = r.String();
            name = v.has_value() && !v->empty();
            leader.Name = WesternFromUtf8(v.value_or(""));
        } else if (key == "hundredths") {
            const auto v = r.Integer();
            time = v.has_value() && *v > 0;
            leader.Hundredths = v.value_or(0);
        } else if (key == "log") {
            const auto v = r.String();
            log = v.has_value() && !v->empty() && v->size() <= kMaxLeaderLogBytes;
            leader.Log = v.value_or("");
        } else {
            return false;
        }
        return true;
    });
    if (!ok || r.Failed() || !r.AtEnd() || !date || !name || !time || !log) return std::nullopt;
    return leader;
}

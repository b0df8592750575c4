#include "launcher/search/search_index.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "launcher/search/pinyin_data.h"

namespace vt {

// ---- Folding and splitting names ----------------------------------------

namespace {

constexpr char32_t kBad = 0xFFFD;
// Pinyin matching tracks query positions in one 64-bit mask; longer queries
// are matched as typed only.
constexpr size_t kMaxTyped = 63;

// One code point from s at i (advancing i); an invalid or truncated sequence
// gives kBad for its first byte only, so every byte is consumed and nothing
// reads past the end.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t c = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
    } else {
        ++i;
        return kBad;
    }
    if (s.size() - i < static_cast<size_t>(len)) {
        ++i;
        return kBad;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kBad;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if ((len == 3 && c < 0x800) || (len == 4 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kBad;
    }
    i += static_cast<size_t>(len);
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Full-width Latin letters and digits (typed with a Chinese input method in
// full-width mode) count as the plain ones, and "ü" as the "v" pinyin writes
// it with.
char32_t Widen(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFF01 + 0x21;
    if (c == 0x3000) return U' ';
    if (c == 0xFC) return U'v';
    if (c == 0xDC) return U'V';
    return c;
}

bool IsUpper(char32_t c) {
    return c >= 'A' && c <= 'Z';
}
bool IsLower(char32_t c) {
    return c >= 'a' && c <= 'z';
}
bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}
bool IsAlnum(char32_t c) {
    return IsUpper(c) || IsLower(c) || IsDigit(c);
}
char32_t Lower(char32_t c) {
    return IsUpper(c) ? c - 'A' + 'a' : c;
}

// Blanks and punctuation: they separate words and are skipped by pinyin.
bool IsSeparator(char32_t c) {
    if (c < 0x80) return !IsAlnum(c);
    if (c == 0x3007) return false;  // 〇 is read "ling"
    return (c >= 0x80 && c <= 0xBF) || (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF65) || c == kBad;
}

// The position of a Chinese character in the pinyin table, or -1.
int PinyinIndex(char32_t c) {
    using namespace pinyin_data;
    if (c < 0x3007 || c > 0xFFFF) return -1;
    const uint16_t* end = kChars + kCharCount;
    const uint16_t* it = std::lower_bound(kChars, end, static_cast<uint16_t>(c));
    return it != end && *it == c ? static_cast<int>(it - kChars) : -1;
}

uint32_t LetterBit(char32_t c) {
    return IsLower(c) ? 1u << (c - 'a') : 0;
}

enum UnitType : uint8_t { kChinese, kWord, kOther };

// A step of pinyin matching: a Chinese character (any reading, or itself), a
// Latin word or run of digits (any prefix of it), or any other character
// (only itself).
struct Unit {
    uint32_t a;  // kChinese, kOther: the code point; kWord: offset of the word in the team's text
    uint16_t b;  // kChinese: position in the pinyin table; kWord: length
    uint8_t type;
};

// A name folded for matching: ASCII letters in lower case, full-width forms
// narrowed, invalid bytes as U+FFFD.
std::string Fold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();)
        AppendUtf8(out, Lower(Widen(NextCodePoint(s, i))));
    return out;
}

std::string_view TrimFolded(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The units of name (already folded into text at textOffset, so words can
// point into it). original gives back the case folding took away, to split
// CamelCase words ("PhotoShop", "PDFReader").
// Where each unit lies in the name, for marking what matched: its first code
// point and the byte offset of every code point in the original name.
struct UnitSpans {
    std::vector<uint32_t> first;     // per unit
    std::vector<uint32_t> original;  // per code point, and the name's length at the end
};

void SplitUnits(std::string_view original, uint32_t textOffset, std::string_view folded, std::vector<Unit>& units,
                uint32_t& letters, UnitSpans* spans = nullptr) {
    std::vector<char32_t> cps;
    std::vector<uint32_t> offs;  // offset of each code point in folded
    for (size_t i = 0, j = 0; i < original.size();) {
        if (spans) spans->original.push_back(static_cast<uint32_t>(i));
        cps.push_back(Widen(NextCodePoint(original, i)));
        offs.push_back(static_cast<uint32_t>(j));
        // The folded text has the same code points, one after another.
        if (j < folded.size()) NextCodePoint(folded, j);
    }
    size_t wordStart = std::string::npos;
    auto endWord = [&](size_t end) {
        if (wordStart == std::string::npos) return;
        const uint32_t from = offs[wordStart];
        const uint32_t to = end < offs.size() ? offs[end] : static_cast<uint32_t>(folded.size());
        units.push_back({textOffset + from, static_cast<uint16_t>(std::min<uint32_t>(to - from, 0xFFFF)), kWord});
        if (spans) spans->first.push_back(static_cast<uint32_t>(wordStart));
        wordStart = std::string::npos;
    };
    for (size_t k = 0; k < cps.size(); ++k) {
        const char32_t c = cps[k];
        letters |= LetterBit(Lower(c));
        if (IsAlnum(c)) {
            if (wordStart != std::string::npos) {
                const char32_t prev = cps[k - 1];
                const bool next = k + 1 < cps.size() && IsLower(cps[k + 1]);
                if (IsDigit(prev) != IsDigit(c) || (IsLower(prev) && IsUpper(c)) ||
                    (IsUpper(prev) && IsUpper(c) && next))
                    endWord(k);
            }
            if (wordStart == std::string::npos) wordStart = k;
            continue;
        }
        endWord(k);
        if (IsSeparator(c)) continue;
        const int py = PinyinIndex(c);
        if (py >= 0) {
            units.push_back({c, static_cast<uint16_t>(py), kChinese});
            if (spans) spans->first.push_back(static_cast<uint32_t>(k));
            for (int r = pinyin_data::kFirst[py]; r < pinyin_data::kFirst[py + 1]; ++r)
                for (const char* s = pinyin_data::kSyllables[pinyin_data::kReadings[r]]; *s; ++s)
                    letters |= LetterBit(*s);
        } else {
            units.push_back({c, 0, kOther});
            if (spans) spans->first.push_back(static_cast<uint32_t>(k));
        }
    }
    endWord(cps.size());
    if (spans) spans->original.push_back(static_cast<uint32_t>(original.size()));
}

// What pinyin matching needs of a query: its code points without blanks and
// punctuation, in lower case.
std::u32string TypedForm(std::string_view folded) {
    std::u32string out;
    for (size_t i = 0; i < folded.size();) {
        const char32_t c = NextCodePoint(folded, i);
        if (!IsSeparator(c)) out += c;
    }
    return out;
}

uint32_t QueryLetters(std::string_view folded) {
    uint32_t m = 0;
    for (char c : folded)
        m |= LetterBit(static_cast<unsigned char>(c));
    return m;
}

// Where pinyin matching can get from each reachable query position through
// one unit. Positions are bits of a mask; bit p set: the first p query
// characters are matched.
class UnitStepper {
public:
    UnitStepper(const std::u32string& q, std::string_view text) : q_(q), n_(q.size()), text_(text) {}

    // Any prefix of a reading (or of the word), or the character itself.
    uint64_t Step(const Unit& u, uint64_t from) const {
        uint64_t out = 0;
        for (uint64_t m = from; m; m &= m - 1) {
            const size_t p = static_cast<size_t>(std::countr_zero(m));
            if (p >= n_) continue;
            switch (u.type) {
                case kChinese:
                    if (q_[p] == u.a) out |= Bit(p + 1);
                    for (int r = pinyin_data::kFirst[u.b]; r < pinyin_data::kFirst[u.b + 1]; ++r)
                        out |= Run(p, pinyin_data::kSyllables[pinyin_data::kReadings[r]], 8);
                    break;
                case kWord:
                    out |= Run(p, text_.data() + u.a, u.b);
                    break;
                default:
                    if (q_[p] == u.a) out |= Bit(p + 1);
                    break;
            }
        }
        return out;
    }

    // One query character for the unit: an initial, or the character itself.
    uint64_t StepInitial(const Unit& u, uint64_t from) const {
        uint64_t out = 0;
        for (uint64_t m = from; m; m &= m - 1) {
            const size_t p = static_cast<size_t>(std::countr_zero(m));
            if (p >= n_) continue;
            const char32_t c = q_[p];
            bool hit = false;
            switch (u.type) {
                case kChinese:
                    hit = c == u.a;
                    for (int r = pinyin_data::kFirst[u.b]; !hit && r < pinyin_data::kFirst[u.b + 1]; ++r)
                        hit = static_cast<unsigned char>(pinyin_data::kSyllables[pinyin_data::kReadings[r]][0]) == c;
                    break;
                case kWord:
                    hit = u.b > 0 && static_cast<unsigned char>(text_[u.a]) == c;
                    break;
                default:
                    hit = c == u.a;
                    break;
            }
            if (hit) out |= Bit(p + 1);
        }
        return out;
    }

    uint64_t Done() const { return Bit(n_); }

private:
    static uint64_t Bit(size_t p) { return uint64_t{1} << p; }
    // Positions p+1..p+k for the k query characters from p that the reading
    // starts with.
    uint64_t Run(size_t p, const char* r, size_t len) const {
        size_t k = 0;
        while (k < len && r[k] && p + k < n_ && q_[p + k] == static_cast<unsigned char>(r[k]))
            ++k;
        if (k == 0) return 0;
        return ((Bit(k) - 1) << (p + 1));
    }

    const std::u32string& q_;
    size_t n_;
    std::string_view text_;
};

struct PinyinMatch {
    bool initialsPrefix = false;
    bool prefix = false;
    bool anywhere = false;
};

PinyinMatch MatchUnits(const Unit* units, size_t count, const std::u32string& q, std::string_view text) {
    PinyinMatch r;
    if (q.empty() || q.size() > kMaxTyped) return r;
    UnitStepper s(q, text);
    const uint64_t done = s.Done();
    uint64_t initials = 1, prefix = 1, any = 0;
    for (size_t u = 0; u < count; ++u) {
        initials = s.StepInitial(units[u], initials);
        prefix = s.Step(units[u], prefix);
        any = s.Step(units[u], any | 1);
        if (initials & done) r.initialsPrefix = true;
        if (prefix & done) r.prefix = true;
        if (any & done) {
            r.anywhere = true;
            if (r.initialsPrefix || (!initials && !prefix)) break;
        }
    }
    return r;
}

struct Query {
    std::string plain;     // folded, blanks trimmed
    std::u32string typed;  // for pinyin
    uint32_t letters = 0;
};

Query MakeQuery(std::string_view query) {
    Query q;
    q.plain = std::string(TrimFolded(Fold(query)));
    q.typed = TypedForm(q.plain);
    q.letters = QueryLetters(q.plain);
    return q;
}

std::optional<MatchKind> MatchFolded(std::string_view name, const Unit* units, size_t unitCount, std::string_view text,
                                     std::string_view file, const Query& q) {
    if (q.plain.empty()) return std::nullopt;
    const size_t at = name.find(q.plain);
    if (at == 0) return name.size() == q.plain.size() ? MatchKind::Exact : MatchKind::NamePrefix;
    const PinyinMatch py = MatchUnits(units, unitCount, q.typed, text);
    if (py.initialsPrefix) return MatchKind::InitialsPrefix;
    if (py.prefix) return MatchKind::PinyinPrefix;
    if (at != std::string_view::npos) return MatchKind::NameContains;
    if (py.anywhere) return MatchKind::PinyinContains;
    if (!file.empty()) {
        // Without its extension unless a dot is typed: "exe" would find every program.
        const size_t dot = file.rfind('.');
        const std::string_view stem =
            q.plain.find('.') != std::string::npos || dot == 0 || dot == std::string_view::npos ? file
                                                                                                : file.substr(0, dot);
        if (stem.find(q.plain) != std::string_view::npos) return MatchKind::FileName;
    }
    return std::nullopt;
}

}  // namespace

// ---- Matching one name -----------------------------------------------------

int MatchRank(MatchKind kind) {
    switch (kind) {
        case MatchKind::Exact:
            return 0;
        case MatchKind::NamePrefix:
            return 1;
        case MatchKind::InitialsPrefix:
            return 2;
        case MatchKind::PinyinPrefix:
            return 3;
        default:
            return 4;
    }
}

std::string PathFileName(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.remove_suffix(1);
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    return std::string(path);
}

std::optional<MatchKind> MatchItem(std::string_view name, std::string_view fileName, std::string_view query) {
    const Query q = MakeQuery(query);
    const std::string folded = Fold(name);
    std::vector<Unit> units;
    uint32_t letters = 0;
    SplitUnits(name, 0, folded, units, letters);
    return MatchFolded(folded, units.data(), units.size(), folded, Fold(fileName), q);
}

namespace {

enum class Walk { Initials, Prefix, Anywhere };

// The units a pinyin match of the given walk went through, each with how
// many query characters it took; empty when there is none.
std::vector<std::pair<size_t, size_t>> TraceUnits(const std::vector<Unit>& units, const std::u32string& q,
                                                  std::string_view text, Walk walk) {
    std::vector<std::pair<size_t, size_t>> used;
    if (q.empty() || q.size() > kMaxTyped) return used;
    UnitStepper s(q, text);
    auto step = [&](const Unit& u, uint64_t from) {
        return walk == Walk::Initials ? s.StepInitial(u, from) : s.Step(u, from);
    };
    std::vector<uint64_t> before(units.size());  // positions a unit may start from
    uint64_t reach = 1;
    size_t end = units.size();
    for (size_t u = 0; u < units.size(); ++u) {
        before[u] = walk == Walk::Anywhere ? reach | 1 : reach;
        reach = step(units[u], before[u]);
        if (reach & s.Done()) {
            end = u;
            break;
        }
    }
    if (end == units.size()) return used;
    // Back from the end: for each unit a start it can be reached from, until
    // the first query character.
    size_t pos = q.size();
    for (size_t u = end + 1; u-- > 0 && pos > 0;) {
        const uint64_t target = uint64_t{1} << pos;
        for (size_t p = 0; p < pos; ++p) {
            if (!(before[u] >> p & 1) || !(step(units[u], uint64_t{1} << p) & target)) continue;
            used.emplace_back(u, pos - p);
            pos = p;
            break;
        }
    }
    std::reverse(used.begin(), used.end());
    return used;
}

}  // namespace

std::vector<std::pair<size_t, size_t>> MatchedRanges(std::string_view name, std::string_view query) {
    std::vector<std::pair<size_t, size_t>> ranges;
    const Query q = MakeQuery(query);
    if (q.plain.empty()) return ranges;
    const std::string folded = Fold(name);
    std::vector<Unit> units;
    uint32_t letters = 0;
    UnitSpans spans;
    SplitUnits(name, 0, folded, units, letters, &spans);
    const std::optional<MatchKind> kind = MatchFolded(folded, units.data(), units.size(), folded, {}, q);
    if (!kind) return ranges;
    if (*kind == MatchKind::Exact || *kind == MatchKind::NamePrefix || *kind == MatchKind::NameContains) {
        // Folded and original hold the same code points: count to the match.
        const size_t at = folded.find(q.plain);
        size_t cp = 0, from = 0, to = 0;
        for (size_t j = 0; j < folded.size() && j < at + q.plain.size(); ++cp) {
            if (j == at) from = spans.original[cp];
            NextCodePoint(folded, j);
        }
        to = spans.original[std::min(cp, spans.original.size() - 1)];
        ranges.emplace_back(from, to);
        return ranges;
    }
    const Walk walk = *kind == MatchKind::InitialsPrefix ? Walk::Initials
                      : *kind == MatchKind::PinyinPrefix ? Walk::Prefix
                                                         : Walk::Anywhere;
    for (const auto& [u, taken] : TraceUnits(units, q.typed, folded, walk)) {
        const uint32_t first = spans.first[u];
        // A word shows the letters typed of it; a character shows whole.
        const size_t count = units[u].type == kWord ? taken : 1;
        const size_t from = spans.original[first];
        const size_t to = spans.original[std::min<size_t>(first + count, spans.original.size() - 1)];
        if (!ranges.empty() && ranges.back().second == from) {
            ranges.back().second = to;
        } else {
            ranges.emplace_back(from, to);
        }
    }
    return ranges;
}

// ---- The index ---------------------------------------------------------------

namespace {

struct Entry {
    int32_t item;
    uint32_t name;  // offset in text: the name as fed in
    uint32_t folded;
    uint32_t file;   // the file name of the path, folded
    uint32_t units;  // first unit
    uint16_t nameLen;
    uint16_t foldedLen;
    uint16_t fileLen;
    uint16_t unitCount;
    uint32_t letters;  // every letter the name, its readings and its file name hold
    uint32_t launches;
    int64_t lastLaunch;
};

}  // namespace

struct SearchIndex::Team {
    std::string name;
    std::string text;  // names, folded names and file names, one after another
    std::vector<Unit> units;
    std::vector<Entry> entries;
    std::vector<int32_t> slotOf;  // item index -> position in entries, -1 none

    std::string_view Text(uint32_t off, uint16_t len) const { return std::string_view(text).substr(off, len); }

    const Entry* Find(int item) const {
        if (item < 0 || static_cast<size_t>(item) >= slotOf.size() || slotOf[item] < 0) return nullptr;
        return &entries[static_cast<size_t>(slotOf[item])];
    }

    std::optional<MatchKind> Match(const Entry& e, const Query& q) const {
        if ((q.letters & ~e.letters) != 0) return std::nullopt;
        return MatchFolded(Text(e.folded, e.foldedLen), units.data() + e.units, e.unitCount, text,
                           Text(e.file, e.fileLen), q);
    }

    size_t Bytes() const {
        return sizeof(Team) + name.capacity() + text.capacity() + units.capacity() * sizeof(Unit) +
               entries.capacity() * sizeof(Entry) + slotOf.capacity() * sizeof(int32_t);
    }
};

namespace {

// Names longer than this are cut for the index (a name is at most a few
// hundred bytes in the store). Folded, a name grows at most threefold (a bad
// byte becomes U+FFFD), which keeps every length within 16 bits.
constexpr size_t kMaxText = 4096;

uint32_t AddText(std::string& text, std::string_view s, uint16_t& len) {
    s = s.substr(0, 0xFFFF);
    const auto off = static_cast<uint32_t>(text.size());
    text.append(s);
    len = static_cast<uint16_t>(s.size());
    return off;
}

}  // namespace

SearchIndex::SearchIndex() = default;
SearchIndex::~SearchIndex() = default;
SearchIndex::SearchIndex(SearchIndex&&) noexcept = default;
SearchIndex& SearchIndex::operator=(SearchIndex&&) noexcept = default;

void SearchIndex::SetTeam(const SearchTeamInput& input) {
    if (input.index < 0 || input.index > std::numeric_limits<uint16_t>::max()) return;
    RemoveTeam(input.index);
    ++version_;
    if (input.password) return;
    auto team = std::make_unique<Team>();
    team->name = input.name;
    team->entries.reserve(input.items.size());
    for (const SearchItemInput& item : input.items) {
        if (item.index < 0 || item.index > std::numeric_limits<uint16_t>::max()) continue;
        Entry e{};
        e.item = item.index;
        std::string_view name = std::string_view(item.name).substr(0, kMaxText);
        e.name = AddText(team->text, name, e.nameLen);
        const std::string folded = Fold(name);
        e.folded = AddText(team->text, folded, e.foldedLen);
        if (!item.password) {
            const std::string file = Fold(PathFileName(item.path));
            e.file = AddText(team->text, file, e.fileLen);
            for (char c : file)
                e.letters |= LetterBit(static_cast<unsigned char>(c));
        }
        e.units = static_cast<uint32_t>(team->units.size());
        SplitUnits(name, e.folded, std::string_view(team->text).substr(e.folded, e.foldedLen), team->units, e.letters);
        const size_t count = team->units.size() - e.units;
        if (count > 0xFFFF) team->units.resize(e.units + 0xFFFF);
        e.unitCount = static_cast<uint16_t>(team->units.size() - e.units);
        e.launches = item.launches;
        e.lastLaunch = item.lastLaunch;
        const auto slot = static_cast<size_t>(item.index);
        if (slot >= team->slotOf.size()) team->slotOf.resize(slot + 1, -1);
        // The same index twice: the later one wins, as a rewrite would.
        if (team->slotOf[slot] >= 0) {
            team->entries[static_cast<size_t>(team->slotOf[slot])] = e;
            continue;
        }
        team->slotOf[slot] = static_cast<int32_t>(team->entries.size());
        team->entries.push_back(e);
    }
    team->text.shrink_to_fit();
    team->units.shrink_to_fit();
    team->entries.shrink_to_fit();
    items_ += team->entries.size();
    const auto at = static_cast<size_t>(input.index);
    if (at >= teams_.size()) teams_.resize(at + 1);
    teams_[at] = std::move(team);
}

void SearchIndex::RemoveTeam(int team) {
    if (!HasTeam(team)) return;
    items_ -= teams_[static_cast<size_t>(team)]->entries.size();
    teams_[static_cast<size_t>(team)].reset();
    ++version_;
}

void SearchIndex::EraseTeam(int team) {
    if (team < 0 || static_cast<size_t>(team) >= teams_.size()) return;
    RemoveTeam(team);
    teams_.erase(teams_.begin() + team);
    ++version_;
}

void SearchIndex::SwapTeams(int first, int second) {
    if (first < 0 || second < 0 || first == second) return;
    const auto hi = static_cast<size_t>(std::max(first, second));
    if (hi >= teams_.size()) teams_.resize(hi + 1);
    std::swap(teams_[static_cast<size_t>(first)], teams_[static_cast<size_t>(second)]);
    ++version_;
}

void SearchIndex::KeepTeams(int count) {
    if (count < 0) count = 0;
    while (teams_.size() > static_cast<size_t>(count)) {
        RemoveTeam(static_cast<int>(teams_.size()) - 1);
        teams_.pop_back();
    }
    ++version_;
}

void SearchIndex::Clear() {
    teams_.clear();
    items_ = 0;
    ++version_;
}

void SearchIndex::NoteLaunch(int team, int item, int64_t when) {
    if (!HasTeam(team)) return;
    const Entry* e = teams_[static_cast<size_t>(team)]->Find(item);
    if (!e) return;
    auto* m = const_cast<Entry*>(e);
    if (m->launches < std::numeric_limits<uint32_t>::max()) ++m->launches;
    m->lastLaunch = std::max(m->lastLaunch, when);
    ++version_;
}

bool SearchIndex::HasTeam(int team) const {
    return team >= 0 && static_cast<size_t>(team) < teams_.size() && teams_[static_cast<size_t>(team)];
}

bool SearchIndex::HasItem(int team, int item) const {
    return HasTeam(team) && teams_[static_cast<size_t>(team)]->Find(item);
}

std::string_view SearchIndex::TeamName(int team) const {
    return HasTeam(team) ? std::string_view(teams_[static_cast<size_t>(team)]->name) : std::string_view();
}

std::string_view SearchIndex::ItemName(int team, int item) const {
    if (!HasTeam(team)) return {};
    const Team& t = *teams_[static_cast<size_t>(team)];
    const Entry* e = t.Find(item);
    return e ? t.Text(e->name, e->nameLen) : std::string_view();
}

size_t SearchIndex::TeamCount() const {
    size_t n = 0;
    for (const auto& t : teams_)
        n += t ? 1 : 0;
    return n;
}

size_t SearchIndex::ItemCount() const {
    return items_;
}

size_t SearchIndex::MemoryBytes() const {
    size_t n = teams_.capacity() * sizeof(teams_[0]);
    for (const auto& t : teams_)
        if (t) n += t->Bytes();
    return n;
}

uint64_t SearchIndex::Version() const {
    return version_;
}

// ---- Searching ---------------------------------------------------------------

namespace {

// A hit and its place in the ranking in one number, so sorting thousands of
// hits compares integers: rank group, launch order (SearchIndex::UpdateOrder),
// kind, team, item, from the top bits down.
uint64_t SortKey(MatchKind kind, uint32_t popularity, int team, int item) {
    return static_cast<uint64_t>(MatchRank(kind)) << 61 | static_cast<uint64_t>(popularity & 0xFFFFFF) << 37 |
           static_cast<uint64_t>(kind) << 34 | static_cast<uint64_t>(team & 0xFFFF) << 18 |
           static_cast<uint64_t>(item & 0x3FFFF);
}

SearchHit FromKey(uint64_t key) {
    return {static_cast<int>((key >> 18) & 0xFFFF), static_cast<int>(key & 0x3FFFF),
            static_cast<MatchKind>((key >> 34) & 7)};
}

}  // namespace

void SearchIndex::UpdateOrder() const {
    if (orderVersion_ == version_) return;
    // Launched items by count, then by the later launch, the same pair in the
    // same place; everything never launched shares the last place.
    struct Launched {
        uint32_t launches;
        int64_t last;
        uint32_t slot;
    };
    std::vector<Launched> launched;
    firstSlot_.assign(teams_.size(), 0);
    uint32_t slot = 0;
    for (size_t t = 0; t < teams_.size(); ++t) {
        firstSlot_[t] = slot;
        if (!teams_[t]) continue;
        for (const Entry& e : teams_[t]->entries) {
            if (e.launches || e.lastLaunch) launched.push_back({e.launches, e.lastLaunch, slot});
            ++slot;
        }
    }
    std::sort(launched.begin(), launched.end(), [](const Launched& a, const Launched& b) {
        return a.launches != b.launches ? a.launches > b.launches : a.last > b.last;
    });
    constexpr uint32_t kUnplaced = std::numeric_limits<uint32_t>::max();
    popularity_.assign(slot, kUnplaced);
    uint32_t place = 0;
    for (size_t i = 0; i < launched.size(); ++i) {
        if (i > 0 && (launched[i].launches != launched[i - 1].launches || launched[i].last != launched[i - 1].last))
            ++place;
        popularity_[launched[i].slot] = place;
    }
    const uint32_t never = launched.empty() ? 0 : place + 1;
    for (uint32_t& p : popularity_)
        if (p == kUnplaced) p = never;
    orderVersion_ = version_;
}

std::vector<SearchHit> Search(const SearchIndex& index, std::string_view query) {
    IncrementalSearch search;
    return search.Update(index, query);
}

void IncrementalSearch::Reset() {
    steps_.clear();
    hits_.clear();
    index_ = nullptr;
    version_ = 0;
}

const std::vector<SearchHit>& IncrementalSearch::Update(const SearchIndex& index, std::string_view query) {
    if (&index != index_ || index.Version() != version_) {
        steps_.clear();
        index_ = &index;
        version_ = index.Version();
    }
    const Query q = MakeQuery(query);
    if (q.plain.empty()) {
        steps_.clear();
        hits_.clear();
        return hits_;
    }
    // Back to the last query this one extends: whatever matches this one
    // matches every shorter query it starts with. Not so after a query of
    // punctuation only, which gave pinyin nothing to match.
    while (!steps_.empty()) {
        const Step& top = steps_.back();
        if (top.plain == q.plain && top.typed == q.typed) {
            hits_ = top.hits;
            return hits_;
        }
        if (q.plain.starts_with(top.plain) && q.typed.starts_with(top.typed) && (!top.typed.empty() || q.typed.empty()))
            break;
        steps_.pop_back();
    }
    index.UpdateOrder();
    const std::vector<uint32_t>& popularity = index.popularity_;
    const std::vector<uint32_t>& firstSlot = index.firstSlot_;
    std::vector<uint64_t> keys;
    auto add = [&](const SearchIndex::Team& team, size_t t, const Entry& e) {
        if (const auto kind = team.Match(e, q)) {
            const size_t slot = firstSlot[t] + static_cast<size_t>(&e - team.entries.data());
            keys.push_back(SortKey(*kind, popularity[slot], static_cast<int>(t), e.item));
        }
    };
    if (!steps_.empty()) {
        const std::vector<SearchHit>& before = steps_.back().hits;
        keys.reserve(before.size());
        for (const SearchHit& h : before) {
            const SearchIndex::Team& team = *index.teams_[static_cast<size_t>(h.team)];
            add(team, static_cast<size_t>(h.team), *team.Find(h.item));
        }
    } else {
        keys.reserve(index.ItemCount() / 4);
        for (size_t t = 0; t < index.teams_.size(); ++t) {
            const SearchIndex::Team* team = index.teams_[t].get();
            if (!team) continue;
            for (const Entry& e : team->entries)
                add(*team, t, e);
        }
    }
    std::sort(keys.begin(), keys.end());
    hits_.clear();
    hits_.reserve(keys.size());
    for (uint64_t k : keys)
        hits_.push_back(FromKey(k));
    // A long query typed letter by letter keeps a bounded history.
    constexpr size_t kMaxSteps = 32;
    if (steps_.size() >= kMaxSteps) steps_.erase(steps_.begin());
    steps_.push_back({q.plain, q.typed, hits_});
    return hits_;
}

}  // namespace vt

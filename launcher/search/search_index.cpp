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
// full-width mode) count as the plain ones.
char32_t Widen(char32_t c) { return c >= 0xFF01 && c <= 0xFF5E ? c - 0xFF01 + 0x21 : c == 0x3000 ? U' ' : c; }

bool IsUpper(char32_t c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char32_t c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char32_t c) { return IsUpper(c) || IsLower(c) || IsDigit(c); }
char32_t Lower(char32_t c) { return IsUpper(c) ? c - 'A' + 'a' : c; }

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

uint32_t LetterBit(char32_t c) { return IsLower(c) ? 1u << (c - 'a') : 0; }

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
    for (size_t i = 0; i < s.size();) AppendUtf8(out, Lower(Widen(NextCodePoint(s, i))));
    return out;
}

std::string_view TrimFolded(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The units of name (already folded into text at textOffset, so words can
// point into it). original gives back the case folding took away, to split
// CamelCase words ("PhotoShop", "PDFReader").
void SplitUnits(std::string_view original, uint32_t textOffset, std::string_view folded, std::vector<Unit>& units,
                uint32_t& letters) {
    std::vector<char32_t> cps;
    std::vector<uint32_t> offs;  // offset of each code point in folded
    for (size_t i = 0, j = 0; i < original.size();) {
        cps.push_back(Widen(NextCodePoint(original, i)));
        offs.push_back(static_cast<uint32_t>(j));
        // The folded text has the same code points, one after another.
        NextCodePoint(folded, j);
    }
    size_t wordStart = std::string::npos;
    auto endWord = [&](size_t end) {
        if (wordStart == std::string::npos) return;
        const uint32_t from = offs[wordStart];
        const uint32_t to = end < offs.size() ? offs[end] : static_cast<uint32_t>(folded.size());
        units.push_back({textOffset + from, static_cast<uint16_t>(std::min<uint32_t>(to - from, 0xFFFF)), kWord});
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
            for (int r = pinyin_data::kFirst[py]; r < pinyin_data::kFirst[py + 1]; ++r)
                for (const char* s = pinyin_data::kSyllables[pinyin_data::kReadings[r]]; *s; ++s) letters |= LetterBit(*s);
        } else {
            units.push_back({c, 0, kOther});
        }
    }
    endWord(cps.size());
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
    for (char c : folded) m |= LetterBit(static_cast<unsigned char>(c));
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
        while (k < len && r[k] && p + k < n_ && q_[p + k] == static_cast<unsigned char>(r[k])) ++k;
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

std::optional<MatchKind> MatchFolded(std::string_view name, const Unit* units, size_t unitCount,
                                     std::string_view text, std::string_view stem, const Query& q) {
    if (q.plain.empty()) return std::nullopt;
    const size_t at = name.find(q.plain);
    if (at == 0) return name.size() == q.plain.size() ? MatchKind::Exact : MatchKind::NamePrefix;
    const PinyinMatch py = MatchUnits(units, unitCount, q.typed, text);
    if (py.initialsPrefix) return MatchKind::InitialsPrefix;
    if (py.prefix) return MatchKind::PinyinPrefix;
    if (at != std::string_view::npos) return MatchKind::NameContains;
    if (py.anywhere) return MatchKind::PinyinContains;
    if (!stem.empty() && stem.find(q.plain) != std::string_view::npos) return MatchKind::FileName;
    return std::nullopt;
}

}  // namespace

// ---- Matching one name -----------------------------------------------------

int MatchRank(MatchKind kind) {
    switch (kind) {
        case MatchKind::Exact: return 0;
        case MatchKind::NamePrefix: return 1;
        case MatchKind::InitialsPrefix: return 2;
        case MatchKind::PinyinPrefix: return 3;
        default: return 4;
    }
}

std::string PathFileStem(std::string_view path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
    const size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
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

// ---- The index ---------------------------------------------------------------

namespace {

struct Entry {
    int32_t item;
    uint32_t name;  // offset in text: the name as fed in
    uint32_t folded;
    uint32_t stem;
    uint32_t units;  // first unit
    uint16_t nameLen;
    uint16_t foldedLen;
    uint16_t stemLen;
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
                           Text(e.stem, e.stemLen), q);
    }

    size_t Bytes() const {
        return sizeof(Team) + name.capacity() + text.capacity() + units.capacity() * sizeof(Unit) +
               entries.capacity() * sizeof(Entry) + slotOf.capacity() * sizeof(int32_t);
    }
};

namespace {

// Texts longer than this are cut for the index (a name is at most a few
// hundred bytes in the store; this only guards the 16-bit lengths).
constexpr size_t kMaxText = 4096;

uint32_t AddText(std::string& text, std::string_view s, uint16_t& len) {
    s = s.substr(0, kMaxText);
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
            const std::string stem = Fold(PathFileStem(item.path));
            e.stem = AddText(team->text, stem, e.stemLen);
            for (char c : stem) e.letters |= LetterBit(static_cast<unsigned char>(c));
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
    for (const auto& t : teams_) n += t ? 1 : 0;
    return n;
}

size_t SearchIndex::ItemCount() const { return items_; }

size_t SearchIndex::MemoryBytes() const {
    size_t n = teams_.capacity() * sizeof(teams_[0]);
    for (const auto& t : teams_)
        if (t) n += t->Bytes();
    return n;
}

uint64_t SearchIndex::Version() const { return version_; }

// ---- Searching ---------------------------------------------------------------

namespace {

struct Ranked {
    SearchHit hit;
    uint32_t launches;
    int64_t last;
};

void SortHits(std::vector<Ranked>& ranked, std::vector<SearchHit>& out) {
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        const int ra = MatchRank(a.hit.kind), rb = MatchRank(b.hit.kind);
        if (ra != rb) return ra < rb;
        if (a.launches != b.launches) return a.launches > b.launches;
        if (a.last != b.last) return a.last > b.last;
        if (a.hit.kind != b.hit.kind) return a.hit.kind < b.hit.kind;
        if (a.hit.team != b.hit.team) return a.hit.team < b.hit.team;
        return a.hit.item < b.hit.item;
    });
    out.clear();
    out.reserve(ranked.size());
    for (const Ranked& r : ranked) out.push_back(r.hit);
}

}  // namespace

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
    // matches every shorter query it starts with.
    while (!steps_.empty()) {
        const Step& top = steps_.back();
        if (top.plain == q.plain && top.typed == q.typed) {
            hits_ = top.hits;
            return hits_;
        }
        if (q.plain.starts_with(top.plain) && q.typed.starts_with(top.typed)) break;
        steps_.pop_back();
    }
    std::vector<Ranked> ranked;
    {
        if (!steps_.empty()) {
            for (const SearchHit& h : steps_.back().hits) {
                const SearchIndex::Team& team = *index.teams_[static_cast<size_t>(h.team)];
                const Entry& e = *team.Find(h.item);
                if (const auto kind = team.Match(e, q)) ranked.push_back({{h.team, h.item, *kind}, e.launches, e.lastLaunch});
            }
        } else {
            for (size_t t = 0; t < index.teams_.size(); ++t) {
                const SearchIndex::Team* team = index.teams_[t].get();
                if (!team) continue;
                for (const Entry& e : team->entries)
                    if (const auto kind = team->Match(e, q))
                        ranked.push_back({{static_cast<int>(t), e.item, *kind}, e.launches, e.lastLaunch});
            }
        }
    }
    SortHits(ranked, hits_);
    // A long query typed letter by letter keeps a bounded history.
    constexpr size_t kMaxSteps = 32;
    if (steps_.size() >= kMaxSteps) steps_.erase(steps_.begin());
    steps_.push_back({q.plain, q.typed, hits_});
    return hits_;
}

}  // namespace vt

// Finding items by a few typed letters: the name as typed (Chinese or
// Latin), the pinyin of its Chinese characters (full, initials, or any
// prefix of each syllable, every reading of a character with several), the
// initials of its Latin words, and the file name of its path. The index
// holds the items of every team without a password; the shell feeds it team
// by team whenever it likes (after the first frame, on the first key) and
// refreshes one team when that team changes.
//
// All texts are UTF-8; anything else (invalid bytes included) is matched as
// it is and never fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vt {

struct SearchItemInput {
    int index = 0;  // the item's index in its team
    std::string name;
    // The item's path; only its file name is searched, and only when the
    // item has no password of its own (a protected item's path is not
    // known without it anyway).
    std::string path;
    bool password = false;   // the item has its own password
    uint32_t launches = 0;   // how often it was launched
    int64_t lastLaunch = 0;  // when last (seconds since 1970), 0 never
};

struct SearchTeamInput {
    int index = 0;  // the team's index in the team list
    std::string name;
    bool password = false;  // a protected team: nothing of it is kept
    std::vector<SearchItemInput> items;
};

// How a name matched, best first.
enum class MatchKind : uint8_t {
    Exact,           // the whole name
    NamePrefix,      // the name starts with the query
    InitialsPrefix,  // one letter per character or word from the first: "jsb" 记事本, "ps" Photo Shop
    // Syllables or their prefixes from the first character: "jishiben",
    // "jisb"; so "zh", "ch" and "sh" work as initials too ("zhq" 重启).
    PinyinPrefix,
    NameContains,    // the query is somewhere in the name
    PinyinContains,  // pinyin or initials from a later character or word
    FileName,        // the file name of the item's path
};

// The ranking group of a kind: Exact 0, NamePrefix 1, InitialsPrefix 2,
// PinyinPrefix 3, everything else ("anywhere") 4. Within a group the items
// launched more often come first, then the ones launched more recently.
int MatchRank(MatchKind kind);

// How name (and the file name of an item's path, empty for none) matches
// query; nullopt when it does not. A query of blanks only matches nothing.
// The file name matches without its extension ("notepad" finds
// "notepad.exe", "exe" finds nothing), or whole when the query has a dot.
std::optional<MatchKind> MatchItem(std::string_view name, std::string_view fileName, std::string_view query);

// What of name query matched, as [begin, end) byte ranges in order, for
// drawing it marked: the typed text where it was found as typed, else the
// characters (whole) and the typed letters of the words that pinyin and
// initials went through. Empty when only the file name, or nothing, matches.
std::vector<std::pair<size_t, size_t>> MatchedRanges(std::string_view name, std::string_view query);

// The file name of a path ("C:\Windows\notepad.exe" -> "notepad.exe"),
// trailing separators ignored.
std::string PathFileName(std::string_view path);

struct SearchHit {
    int team = 0;
    int item = 0;
    MatchKind kind = MatchKind::NameContains;
};

class SearchIndex {
public:
    SearchIndex();
    ~SearchIndex();
    SearchIndex(SearchIndex&&) noexcept;
    SearchIndex& operator=(SearchIndex&&) noexcept;

    // Replaces everything kept of team.index. A team with a password keeps
    // nothing (and loses what it had).
    void SetTeam(const SearchTeamInput& team);
    // Forgets one team; the others keep their indexes.
    void RemoveTeam(int team);
    // The team was deleted from the list: the later teams move down one, as
    // they do in the store.
    void EraseTeam(int team);
    // Two teams exchanged their places in the list.
    void SwapTeams(int first, int second);
    // Forgets the teams from count on.
    void KeepTeams(int count);
    void Clear();

    // One more launch of an item, for the ranking (the store keeps the
    // lasting counts; see launcher/store/launch_stats.h).
    void NoteLaunch(int team, int item, int64_t when);

    bool HasTeam(int team) const;
    bool HasItem(int team, int item) const;
    // Names as fed in; empty for a team or item the index does not hold.
    std::string_view TeamName(int team) const;
    std::string_view ItemName(int team, int item) const;
    size_t TeamCount() const;  // teams held
    size_t ItemCount() const;
    // Bytes the index holds on the heap, roughly.
    size_t MemoryBytes() const;
    // Changes with every change of the index, so a search can tell its
    // earlier results are stale.
    uint64_t Version() const;

    struct Team;

private:
    friend class IncrementalSearch;
    // The ranking's launch order of every item, worked out once per version.
    void UpdateOrder() const;

    std::vector<std::unique_ptr<Team>> teams_;  // by team index; null = not held
    size_t items_ = 0;
    uint64_t version_ = 1;
    mutable uint64_t orderVersion_ = 0;
    mutable std::vector<uint32_t> popularity_;  // per item, teams in order: 0 launched most
    mutable std::vector<uint32_t> firstSlot_;   // per team: its first item's place in popularity_
};

// Every hit of query in the index, best first (see MatchRank); ties beyond
// launches keep the order of teams and items.
std::vector<SearchHit> Search(const SearchIndex& index, std::string_view query);

// Search as the user types: a query that extends the previous one only
// narrows the previous hits, and going back (Backspace) returns the hits
// kept for the shorter query without searching again. Any change of the
// index starts over.
class IncrementalSearch {
public:
    const std::vector<SearchHit>& Update(const SearchIndex& index, std::string_view query);
    const std::vector<SearchHit>& Hits() const { return hits_; }
    void Reset();

private:
    struct Step {
        std::string plain;     // the query folded as names are
        std::u32string typed;  // the same without blanks and punctuation, for pinyin
        std::vector<SearchHit> hits;
    };
    std::vector<Step> steps_;
    std::vector<SearchHit> hits_;
    uint64_t version_ = 0;
    const SearchIndex* index_ = nullptr;
};

}  // namespace vt

// The find line and its results in the item panel. The results reuse the
// panel's own elements (icon, caption in the item colours, selection look)
// with each team's name beside them in that team's caption colours, so both
// skins' looks carry over without new pictures.
#include <algorithm>
#include <chrono>
#include <map>
#include <optional>

#include "common/codepage.h"
#include "launcher/mainwindow/item_panel.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/store/store.h"

namespace vt {

namespace {

inline constexpr const char* kFindPrompt = " 查找: ";
inline constexpr const char* kFindNothing = "没有找到匹配的项目";
// More rows than anyone reads; the best ones come first.
constexpr int kMaxFoundRows = 200;
constexpr int kIconCell = 480;  // a 32-pixel icon
// While the store is read, the results follow at most this often: a search
// of a big index costs more than a slice of reading.
constexpr auto kFoundRefreshEvery = std::chrono::milliseconds(500);

bool SameHit(const SearchHit& a, const SearchHit& b) {
    return a.team == b.team && a.item == b.item;
}

// Drops the last UTF-8 character.
void PopCharacter(std::string& text) {
    size_t n = text.size();
    while (n > 0 && (static_cast<unsigned char>(text[n - 1]) & 0xC0) == 0x80)
        --n;
    text.resize(n > 0 ? n - 1 : 0);
}

}  // namespace

int MainModel::FindLineHeight() const {
    return TextHeightTwips(skin_.SkinItemFontSize) + 90;
}

void MainModel::HideFindLine() {
    finding_ = false;
    found_.clear();
    foundSelected_ = -1;
    scene_.At(Part::LabFind).visible = false;
    for (int i = 0; i < scene_.Count(Part::LabHit); ++i)
        scene_.At(Part::LabHit, i).visible = false;
}

void MainModel::OpenFind() {
    if (ReorderState != 0) return;  // a swap waits for clicks
    if (!finding_) {
        savedItem_ = CurrentItem;
        savedScroll_ = scene_.At(Part::PicItemIn).top;
        if (CurrentTeam >= 0) roller_.StopNameRoll(RollKind::Team, CurrentTeam);
        if (CurrentItem >= 0) roller_.StopNameRoll(RollKind::Item, CurrentItem);
        finding_ = true;
        findText_.clear();
        search_.Reset();
        if (!findIndex_) findIndex_ = std::make_unique<FindIndex>(settings_.AppDir);
        // Checked at every opening: edits made meanwhile, here or on disk, show.
        findIndex_->Sync();
    }
    ShowFound();
}

void MainModel::FindType(const std::string& text) {
    if (text.empty()) return;
    if (!finding_) OpenFind();
    if (!finding_) return;
    findText_ += text;
    ShowFound();
}

void MainModel::FindBackspace() {
    if (!finding_) return;
    PopCharacter(findText_);
    if (findText_.empty()) return CloseFind();
    ShowFound();
}

void MainModel::CloseFind() {
    if (!finding_) return;
    HideFindLine();
    CurrentItem = savedItem_;
    if (CurrentTeam < 0) {
        ShowItems(-1);
        return;
    }
    // The team's folder is already known: no second password question.
    LayOutItems();
    Element& sheet = scene_.At(Part::PicItemIn);
    sheet.top = std::clamp(savedScroll_, std::min(0, scene_.At(Part::PicItem).height - sheet.height), 0);
}

void MainModel::OnFindLoadTick() {
    if (!findIndex_ || !findIndex_->Step() || !finding_ || findText_.empty()) return;
    if (findIndex_->Loading() && std::chrono::steady_clock::now() - foundShownAt_ < kFoundRefreshEvery) return;
    ShowFound(true);
}

void MainModel::ShowFound(bool keepSelection) {
    foundShownAt_ = std::chrono::steady_clock::now();
    Element& sheet = scene_.At(Part::PicItemIn);
    const Element& view = scene_.At(Part::PicItem);
    const int lineHeight = FindLineHeight();

    Element& line = scene_.At(Part::LabFind);
    line.visible = true;
    line.left = 0;
    line.top = 0;
    line.width = view.width;
    line.height = lineHeight;
    line.fontSize = skin_.SkinItemFontSize;
    line.text = kFindPrompt + findText_;
    line.transparent = false;
    line.backColor = skin_.SkinItemColors[kItemBackNormal];
    line.foreColor = skin_.SkinItemColors[kItemTextNormal];
    line.border = true;
    line.borderColor = skin_.SkinTeamColors[kTeamBackCurrent];

    const std::vector<SearchHit>& hits = findText_.empty() ? found_ : search_.Update(findIndex_->Index(), findText_);
    std::optional<SearchHit> selected;
    if (keepSelection && foundSelected_ >= 0 && foundSelected_ < static_cast<int>(found_.size()))
        selected = found_[static_cast<size_t>(foundSelected_)];
    if (keepSelection && !findText_.empty() && hits.size() >= found_.size() &&
        std::equal(found_.begin(), found_.end(), hits.begin(), SameHit) &&
        (found_.size() == hits.size() || found_.size() == kMaxFoundRows))
        return;  // nothing new among the rows shown
    if (findText_.empty())
        found_.clear();
    else
        found_.assign(hits.begin(), hits.begin() + std::min<size_t>(hits.size(), kMaxFoundRows));
    const int rows = static_cast<int>(found_.size());

    const int itemFont = skin_.SkinItemFontSize, teamFont = skin_.SkinTeamFontSize;
    const int textHeight = TextHeightTwips(itemFont), teamHeight = TextHeightTwips(teamFont);
    foundRowPitch_ = std::max({kIconCell, textHeight, teamHeight}) + 120;
    const int firstTop = lineHeight + 60;

    // With an empty line the panel keeps the team's items; the line only shows it is listening.
    if (findText_.empty()) {
        sheet.top = std::min(sheet.top, 0);
        return;
    }
    scene_.Resize(Part::PicIcon, std::max(1, rows));
    scene_.Resize(Part::LabItem, std::max(1, rows));
    scene_.Resize(Part::LabHit, std::max(1, rows));
    itemCount_ = rows;
    CurrentItem = -1;
    CommandsEnabled(CurrentTeam >= 0, false);

    std::map<int, std::string> folders;
    for (int r = 0; r < rows; ++r) {
        const SearchHit& hit = found_[r];
        auto f = folders.find(hit.team);
        if (f == folders.end()) f = folders.emplace(hit.team, ResolveTeamFolder(settings_.AppDir, hit.team, "")).first;
        const ItemRecord rec = ReadItemRecord(f->second, hit.item);
        const int rowTop = firstTop + r * foundRowPitch_;

        Element& team = scene_.At(Part::LabHit, r);
        team.text = std::string(findIndex_->Index().TeamName(hit.team));
        team.fontSize = teamFont;
        team.width = std::min(view.width / 3, services_.measure.TextWidthTwips(team.text, teamFont) + 240);
        team.height = teamHeight + 30;
        team.left = sheet.width - team.width - kListLeft;
        team.top = rowTop + (foundRowPitch_ - team.height) / 2;
        team.align = Align::Center;
        team.transparent = false;
        team.backColor = skin_.SkinTeamColors[kTeamBackNormal];
        team.foreColor = skin_.SkinTeamColors[kTeamTextNormal];
        team.visible = true;

        Element& icon = scene_.At(Part::PicIcon, r);
        SetIconPicture(icon, f->second, rec);
        icon.left = kListLeft + (kIconCell - std::min(icon.width, kIconCell)) / 2;
        icon.top = rowTop + (foundRowPitch_ - icon.height) / 2;
        icon.tooltip = rec.Note;
        icon.visible = true;

        Element& lab = scene_.At(Part::LabItem, r);
        lab.text = rec.Name;
        lab.fontSize = itemFont;
        lab.align = Align::Left;
        lab.left = kListLeft + kIconCell + 120;
        lab.top = rowTop + (foundRowPitch_ - textHeight) / 2;
        lab.width = std::max(0, team.left - lab.left - 120);
        lab.height = textHeight;
        lab.transparent = false;
        lab.tooltip = rec.Note;
        lab.visible = true;
        PaintItem(r, false);
    }
    if (rows == 0) {
        scene_.At(Part::PicIcon, 0).visible = false;
        scene_.At(Part::LabHit, 0).visible = false;
        Element& lab = scene_.At(Part::LabItem, 0);
        lab.text = kFindNothing;
        lab.fontSize = itemFont;
        lab.align = Align::Left;
        lab.left = kListLeft;
        lab.top = firstTop + 60;
        lab.width = std::max(0, sheet.width - 2 * kListLeft);
        lab.height = textHeight;
        lab.transparent = true;
        lab.foreColor = skin_.SkinItemColors[kItemTextNormal];
        lab.tooltip.clear();
        lab.visible = true;
    }
    sheet.height = std::max(view.height, firstTop + rows * foundRowPitch_ + 150);
    sheet.top = 0;
    foundSelected_ = -1;
    // The best result is ready for Enter, unless another was chosen already.
    int row = 0;
    if (selected)
        for (int r = 0; r < rows; ++r)
            if (SameHit(found_[static_cast<size_t>(r)], *selected)) row = r;
    if (rows > 0) SelectFound(row);
}

void MainModel::SelectFound(int row) {
    if (row < 0 || row >= static_cast<int>(found_.size())) return;
    if (foundSelected_ >= 0) PaintItem(foundSelected_, false);
    foundSelected_ = row;
    PaintItem(row, true);
    const int line = FindLineHeight();
    const int top = line + 60 + row * foundRowPitch_;
    Element& sheet = scene_.At(Part::PicItemIn);
    const int view = scene_.At(Part::PicItem).height;
    // The line covers the top of the panel: a row must show below it.
    sheet.top = ScrollToShow(sheet.top, top - line - (row == 0 ? 60 : 0), top + foundRowPitch_ - line, view - line,
                             sheet.height - line);
}

void MainModel::LaunchFound() {
    if (!finding_ || foundSelected_ < 0 || foundSelected_ >= static_cast<int>(found_.size())) return;
    const SearchHit hit = found_[foundSelected_];
    const std::string folder = ResolveTeamFolder(settings_.AppDir, hit.team, "");
    if (folder.empty() || !actions.launchItem) return;
    // The line has done its work; the panel is back as it was whatever the launch does.
    CloseFind();
    actions.launchItem(folder, hit.item);
}

void MainModel::FindClick(int row, bool doubleClick) {
    SelectFound(row);
    if (settings_.LaunchMode == (doubleClick ? 1 : 0)) LaunchFound();
}

void MainModel::NoteLaunched(const std::string& teamFolder, int item, int64_t when) {
    if (!findIndex_ || !findIndex_->Built()) return;
    int team = teamFolder == TeamFolder ? CurrentTeam : -1;
    for (int t = 0; team < 0 && t < teamCount_; ++t)
        if (findIndex_->Index().HasTeam(t) && ResolveTeamFolder(settings_.AppDir, t, "") == teamFolder) team = t;
    findIndex_->NoteLaunch(team, item, when);
}

void MainModel::TeamContentChanged(int team) {
    if (!findIndex_) return;
    if (team < 0)
        findIndex_->Invalidate();
    else
        findIndex_->TeamChanged(team);
}

}  // namespace vt

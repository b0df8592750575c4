#include "launcher/scene/scene.h"

#include <algorithm>
#include <stdexcept>

namespace vt {

namespace {

constexpr int kPartCount = static_cast<int>(Part::Count);

const char* const kPartNames[kPartCount] = {
    "ImgForm", "ImgTitle", "LabTitle", "ShpMenu",  "LabMenu", "PicTeam", "PicTeamIn", "LabTeam", "PicItem", "PicItemIn",
    "PicIcon", "LabItem",  "ImgClose", "ImgMin",   "ImgLock", "ImgLeft", "ImgRight",  "ImgUp",   "ImgDown", "LabClose",
    "LabMin",  "LabLock",  "LabLeft",  "LabRight", "LabUp",   "LabDown", "ImgInside", "LabFind", "LabHit",
};

Element Make(Part part, int index, ElementKind kind, std::optional<ElementId> parent = std::nullopt) {
    Element e;
    e.id = ElementId{part, index};
    e.kind = kind;
    e.parent = parent;
    return e;
}

Element TransparentLabel(Part part, int index, const char* tip) {
    Element e = Make(part, index, ElementKind::Label);
    e.transparent = true;
    e.tooltip = tip;
    return e;
}

Rect Intersect(const Rect& a, const Rect& b) {
    int l = std::max(a.left, b.left);
    int t = std::max(a.top, b.top);
    int r = std::min(a.left + a.width, b.left + b.width);
    int btm = std::min(a.top + a.height, b.top + b.height);
    return Rect{l, t, std::max(0, r - l), std::max(0, btm - t)};
}

}  // namespace

const char* PartName(Part part) {
    int i = static_cast<int>(part);
    return i >= 0 && i < kPartCount ? kPartNames[i] : "?";
}

Scene::Scene() : parts_(kPartCount) {
    auto add = [this](Element e) { parts_[static_cast<int>(e.id.part)].push_back(std::move(e)); };

    Element form = Make(Part::ImgForm, 0, ElementKind::Picture);
    form.transparent = true;
    add(form);

    Element title = Make(Part::ImgTitle, 0, ElementKind::Picture);
    title.transparent = true;
    add(title);

    // The title text keeps its design size; the skin only moves it.
    Element labTitle = Make(Part::LabTitle, 0, ElementKind::Label);
    labTitle.transparent = true;
    labTitle.text = "Vantrel";
    labTitle.width = 3600;
    labTitle.height = 255;
    labTitle.bold = true;
    labTitle.mouseTarget = false;
    add(labTitle);

    Element shp = Make(Part::ShpMenu, 0, ElementKind::Shape);
    shp.visible = false;
    shp.mouseTarget = false;
    add(shp);

    const char* menus[4] = {"操作", "管理", "工具", "信息"};
    for (int i = 0; i < 4; ++i) {
        Element m = Make(Part::LabMenu, i, ElementKind::Label);
        m.transparent = true;
        m.text = menus[i];
        add(m);
    }

    add(Make(Part::PicTeam, 0, ElementKind::Panel));
    add(Make(Part::PicTeamIn, 0, ElementKind::Panel, ElementId{Part::PicTeam, 0}));
    Element team = Make(Part::LabTeam, 0, ElementKind::Label, ElementId{Part::PicTeamIn, 0});
    team.visible = false;
    team.align = Align::Center;
    add(team);

    add(Make(Part::PicItem, 0, ElementKind::Panel));
    add(Make(Part::PicItemIn, 0, ElementKind::Panel, ElementId{Part::PicItem, 0}));
    Element icon = Make(Part::PicIcon, 0, ElementKind::Picture, ElementId{Part::PicItemIn, 0});
    icon.visible = false;
    icon.transparent = true;
    add(icon);
    Element item = Make(Part::LabItem, 0, ElementKind::Label, ElementId{Part::PicItemIn, 0});
    item.visible = false;
    item.align = Align::Center;
    add(item);

    for (Part p :
         {Part::ImgClose, Part::ImgMin, Part::ImgLock, Part::ImgLeft, Part::ImgRight, Part::ImgUp, Part::ImgDown}) {
        int n = p == Part::ImgLock ? 2 : 3;
        for (int i = 0; i < n; ++i) {
            Element img = Make(p, i, ElementKind::Picture);
            img.transparent = true;
            img.visible = i == 0;
            img.mouseTarget = false;
            add(img);
        }
    }

    add(TransparentLabel(Part::LabClose, 0, "退出程序"));
    add(TransparentLabel(Part::LabMin, 0, "最小化"));
    add(TransparentLabel(Part::LabLock, 0, "置于顶层(未启用)"));
    add(TransparentLabel(Part::LabLeft, 0, "向左滚动"));
    add(TransparentLabel(Part::LabRight, 0, "向右滚动"));
    add(TransparentLabel(Part::LabUp, 0, "向上滚动"));
    add(TransparentLabel(Part::LabDown, 0, "向下滚动"));

    for (int i = 0; i < 4; ++i) {
        Element holder = Make(Part::ImgInside, i, ElementKind::Picture);
        holder.visible = false;
        holder.mouseTarget = false;
        add(holder);
    }

    Element find = Make(Part::LabFind, 0, ElementKind::Label, ElementId{Part::PicItem, 0});
    find.visible = false;
    find.border = true;
    add(find);
    Element hit = Make(Part::LabHit, 0, ElementKind::Label, ElementId{Part::PicItemIn, 0});
    hit.visible = false;
    hit.align = Align::Center;
    hit.mouseTarget = false;
    add(hit);
}

bool Scene::Has(ElementId id) const {
    int p = static_cast<int>(id.part);
    return p >= 0 && p < kPartCount && id.index >= 0 && id.index < static_cast<int>(parts_[p].size());
}

Element& Scene::At(ElementId id) {
    if (!Has(id))
        throw std::out_of_range(std::string("no element ") + PartName(id.part) + "(" + std::to_string(id.index) + ")");
    return parts_[static_cast<int>(id.part)][id.index];
}

const Element& Scene::At(ElementId id) const {
    return const_cast<Scene*>(this)->At(id);
}

int Scene::Count(Part part) const {
    int p = static_cast<int>(part);
    return p >= 0 && p < kPartCount ? static_cast<int>(parts_[p].size()) : 0;
}

void Scene::Resize(Part part, int count) {
    auto& list = parts_.at(static_cast<int>(part));
    count = std::max(1, count);
    if (static_cast<int>(list.size()) > count) {
        list.resize(count);
        return;
    }
    list.reserve(count);
    while (static_cast<int>(list.size()) < count) {
        Element e = list.front();
        e.id.index = static_cast<int>(list.size());
        e.visible = false;
        list.push_back(std::move(e));
    }
}

Rect Scene::WindowRect(ElementId id) const {
    const Element& e = At(id);
    Rect r{e.left, e.top, e.width, e.height};
    for (auto p = e.parent; p; p = At(*p).parent) {
        r.left += At(*p).left;
        r.top += At(*p).top;
    }
    return r;
}

Rect Scene::VisibleRect(ElementId id) const {
    Rect r = WindowRect(id);
    for (auto p = At(id).parent; p; p = At(*p).parent)
        r = Intersect(r, WindowRect(*p));
    return Intersect(r, Rect{0, 0, width, height});
}

bool Scene::Shown(ElementId id) const {
    for (std::optional<ElementId> cur = id; cur; cur = At(*cur).parent) {
        if (!At(*cur).visible) return false;
    }
    return true;
}

std::vector<ElementId> Scene::PaintOrder() const {
    std::vector<ElementId> order;
    for (const auto& list : parts_) {
        for (const auto& e : list)
            order.push_back(e.id);
    }
    return order;
}

std::optional<ElementId> HitTest(const Scene& scene, int xTwips, int yTwips) {
    if (xTwips < 0 || yTwips < 0 || xTwips >= scene.width || yTwips >= scene.height) return std::nullopt;
    std::vector<ElementId> order = scene.PaintOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const Element& e = scene.At(*it);
        if (!e.mouseTarget || e.kind == ElementKind::Shape) continue;
        if (!scene.Shown(*it)) continue;
        if (scene.VisibleRect(*it).Contains(xTwips, yTwips)) return *it;
    }
    return std::nullopt;
}

}  // namespace vt

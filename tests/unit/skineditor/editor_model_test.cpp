#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "launcher/scene/scene.h"
#include "platform/fake/fakes.h"
#include "skineditor/editor_model.h"
#include "tests/unit/temp_dir.h"

namespace vt {
namespace {

struct EditorModelTest : ::testing::Test {
    FakePictures pictures;
    FakeTextMeasure measure{90};
    EditorModel model{pictures, measure};

    MockRect R(El e) const { return model.Get(e).rect; }
    void Drag(El hit, double x0, double y0, double x1, double y1) {
        El target = *DragTargetOf(hit);
        model.MouseDown(target, x0, y0);
        model.MouseMove(target, x1, y1);
    }
};

TEST(EditorValues, IntegerAndByteConversions) {
    struct Case {
        const char* text;
        std::optional<int> integer;
        std::optional<int> byte;
    };
    const Case cases[] = {
        {"12", 12, 12},
        {"12.5", 12, 12},
        {"13.5", 14, 14},
        {"-2.5", -2, std::nullopt},
        {" 7 ", 7, 7},
        {"1e2", 100, 100},
        {"255", 255, 255},
        {"256", 256, std::nullopt},
        {"300", 300, std::nullopt},
        {"abc", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"12abc", std::nullopt, std::nullopt},
        {"3000000000", std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt},
        {"-2147483648", -2147483647 - 1, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInteger(c.text), c.integer) << c.text;
        EXPECT_EQ(ParseByte(c.text), c.byte) << c.text;
    }
}

TEST(EditorSlots, StateCaptionsComeFromTheBrackets) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(StateCaptions("文字颜色[一般|焦点|按下]:"), (V{"一般", "焦点", "按下"}));
    EXPECT_EQ(StateCaptions("置顶按钮[未选|已选]:"), (V{"未选", "已选"}));
    EXPECT_EQ(StateCaptions("背景颜色:"), V{});
    EXPECT_EQ(StateCaptions("x]y[a"), V{});  // no closing bracket after the opening one
    // Every group of several colours names each of its states.
    for (const auto& s : kSlots) {
        if (s.kind != SlotKind::Colour) continue;
        size_t inGroup = 0;
        for (const auto& t : kSlots)
            inGroup += t.page == s.page && t.label == s.label;
        if (inGroup > 1) {
            EXPECT_EQ(StateCaptions(s.label).size(), inGroup) << s.slot;
        }
    }
}

TEST_F(EditorModelTest, StartsWithDefaultsAndNoSlotOne) {
    EXPECT_FALSE(IsSlot(1));
    EXPECT_EQ(kSlots.size(), 56u);
    EXPECT_EQ(model.SlotText(47), "http://");
    EXPECT_EQ(model.SlotText(31), "3255");
    EXPECT_EQ(model.SlotText(43), "4");
    EXPECT_EQ(model.SlotText(26), "16777215");
    EXPECT_EQ(model.SlotText(0), "");
    EXPECT_TRUE(model.Frame(0));
    EXPECT_TRUE(model.Frame(1));
    EXPECT_EQ(model.windowTitle, "VT Skin Editor");
    // The title area spans the mock-up and its handles sit on its edges.
    EXPECT_EQ(R(El::ShpTitle).width, 4500);
    EXPECT_EQ(R(El::LabMove2).left, 4400);
    EXPECT_EQ(R(El::LabMove0).top, 197.5);
    EXPECT_EQ(R(El::LabTitle).left, 200);
}

TEST_F(EditorModelTest, RejectedValuesEmptyTheBoxAndKeepTheMockUp) {
    struct Case {
        int slot;
        const char* text;
        El element;
    };
    const Case cases[] = {
        {15, "abc", El::LabMenu1}, {43, "32", El::PicItem}, {22, "300", El::LabTeam0},
        {31, "-5", El::PicTeam},   {49, "x", El::PicItem},  {9, "-1", El::ShpMenu},
    };
    for (const auto& c : cases) {
        const MockElement before = model.Get(c.element);
        model.SetSlotText(c.slot, c.text);
        EXPECT_FALSE(model.ApplyProperty(c.slot)) << c.slot;
        EXPECT_EQ(model.SlotText(c.slot), "") << c.slot;
        EXPECT_EQ(model.Get(c.element).rect.width, before.rect.width) << c.slot;
        EXPECT_EQ(model.Get(c.element).rect.left, before.rect.left) << c.slot;
        EXPECT_EQ(model.Get(c.element).fontSize, before.fontSize) << c.slot;
    }
}

TEST_F(EditorModelTest, ItemsPerRowSetThePanelWidth) {
    for (auto [text, width] : {std::pair{"31", 31975.0}, {"0", 200.0}, {"3", 3275.0}}) {
        model.SetSlotText(43, text);
        EXPECT_TRUE(model.ApplyProperty(43));
        EXPECT_EQ(R(El::PicItem).width, width) << text;
    }
}

TEST_F(EditorModelTest, ColoursAndFontSizesReachTheirElements) {
    model.SetSlotText(38, "12");
    model.ApplyProperty(38);
    EXPECT_EQ(model.Get(El::LabItem0).fontSize, 12);
    EXPECT_EQ(model.Get(El::LabItem1).fontSize, 12);
    EXPECT_EQ(model.Get(El::LabTeam0).fontSize, 9);

    model.SetSlotText(12, "255");
    model.ApplyProperty(12);
    EXPECT_EQ(model.Get(El::LabMenu2).textColor, 255);
    EXPECT_EQ(model.Get(El::LabMenu3).textColor, 255);
    EXPECT_EQ(model.Get(El::LabMenu0).textColor, 0);

    model.SetSlotText(40, "16711680");
    model.ApplyProperty(40);
    EXPECT_EQ(model.Get(El::LabItem0).textColor, 16711680);  // pressed caption
}

TEST_F(EditorModelTest, MenuFontSizeResizesCaptionsAndKeepsTheRow) {
    model.SetSlotText(15, "12");
    ASSERT_TRUE(model.ApplyProperty(15));
    // 4 ANSI bytes per caption at 90 twips each.
    EXPECT_EQ(R(El::LabMenu0).left, 240);
    EXPECT_EQ(R(El::LabMenu1).left, 240 + 360 + 180);
    EXPECT_EQ(R(El::LabMenu3).left, 240 + 3 * 540);
    EXPECT_EQ(R(El::LabMenu2).top, 600);
    EXPECT_EQ(R(El::LabMenu0).height, 240);
    EXPECT_EQ(R(El::ShpMenu).left, 120);  // highlight box is not refitted
}

TEST_F(EditorModelTest, PicturesTakeTheirSizeAndFailuresKeepTheOldOne) {
    TempDir dir;
    const std::string bg = dir.File("bg.gif");
    std::ofstream(bg) << "x";
    pictures.sizes[bg] = {300, 350};
    pictures.sizes["/none/close.gif"] = {};
    pictures.acceptAnyExisting = false;

    model.SetSlotText(0, bg);
    ASSERT_TRUE(model.ApplyProperty(0));
    EXPECT_EQ(R(El::PicEditIn).width, 4500);
    EXPECT_EQ(R(El::PicEditIn).height, 5250);
    EXPECT_EQ(model.Get(El::PicEditIn).picture, PictureSource::File);

    model.SetSlotText(2, dir.File("missing.gif"));
    EXPECT_FALSE(model.ApplyProperty(2));
    EXPECT_EQ(model.SlotText(2), "");
    EXPECT_EQ(model.Get(El::ImgClose).picture, PictureSource::BuiltIn);

    // Emptied, the window shows its stand-in again (what a build would write),
    // at the size the picture gave it.
    model.SetSlotText(0, "");
    EXPECT_TRUE(model.ApplyProperty(0));
    EXPECT_EQ(model.Get(El::PicEditIn).picture, PictureSource::BuiltIn);
    EXPECT_EQ(R(El::PicEditIn).width, 4500);
}

TEST(EditorModelDpi, PicturesKeepTheir96DpiSizeInTwipsOnAnyScreen) {
    for (int dpi : {96, 120, 144, 192}) {
        FakePictures pictures;
        FakeTextMeasure measure{90};
        EditorModel model{pictures, measure, dpi};
        pictures.sizes["bg.gif"] = {300, 350};
        pictures.sizes["close.gif"] = {20, 18};
        model.SetSlotText(0, "bg.gif");
        model.SetSlotText(2, "close.gif");
        ASSERT_TRUE(model.ApplyProperty(0));
        ASSERT_TRUE(model.ApplyProperty(2));
        EXPECT_EQ(model.Get(El::PicEditIn).rect.width, 4500) << dpi;
        EXPECT_EQ(model.Get(El::PicEditIn).rect.height, 5250) << dpi;
        EXPECT_EQ(model.Get(El::ImgClose).rect.width, 300) << dpi;
        EXPECT_EQ(model.Get(El::ImgClose).rect.height, 270) << dpi;
    }
}

TEST(EditorModelDpi, ADragMovesByTheTwipsOfThePixelsMoved) {
    struct Case {
        int dpi;
        int pixels;
        int twips;
    };
    // 1440 / dpi twips a pixel; at 192 dpi two pixels make 15 twips.
    const Case cases[] = {{96, 1, 15},    {96, 3, 45},  {120, 1, 12}, {144, 1, 10},
                          {144, -4, -40}, {192, 2, 15}, {192, 4, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi, " << c.pixels << " px");
        FakePictures pictures;
        FakeTextMeasure measure{90};
        EditorModel model{pictures, measure, c.dpi};
        const PixelMap& map = model.Map();
        // Pressed inside the close button (3960, 120, 300 x 300).
        const int x = map.Px(3960 + 150), y = map.Px(120 + 150);
        ASSERT_EQ(model.PressAtPixel(x, y), El::ImgClose);
        EXPECT_TRUE(model.DragToPixel(El::ImgClose, x + c.pixels, y + c.pixels));
        EXPECT_EQ(model.Get(El::ImgClose).rect.left, 3960 + c.twips);
        EXPECT_EQ(model.Get(El::ImgClose).rect.top, 120 + c.twips);
        // Back to the pixel it was pressed at, back to where it was.
        model.DragToPixel(El::ImgClose, x, y);
        EXPECT_EQ(model.Get(El::ImgClose).rect.left, 3960);
    }
}

TEST(EditorModelDpi, AfterTheWindowMovesToAnotherScaleAPixelIsThatScalesTwips) {
    FakePictures pictures;
    FakeTextMeasure measure{90};
    EditorModel model{pictures, measure, 96};
    int left = 3960;
    for (int dpi : {144, 96, 192}) {
        SCOPED_TRACE(dpi);
        model.SetDpi(dpi);
        const PixelMap& map = model.Map();
        const int x = map.Px(left + 150), y = map.Px(120 + 150);
        ASSERT_EQ(model.PressAtPixel(x, y), El::ImgClose);
        EXPECT_TRUE(model.DragToPixel(El::ImgClose, x + 2, y));
        const int moved = model.Get(El::ImgClose).rect.left - left;
        EXPECT_EQ(moved, 2 * 1440 / dpi);
        left += moved;
    }
}

TEST(EditorModelDpi, PressesOnCaptionsMoveTheirPanelAndOffGripsDoNothing) {
    FakePictures pictures;
    FakeTextMeasure measure{90};
    EditorModel model{pictures, measure, 144};
    const MockRect cap = model.AbsoluteRect(El::LabItem0);
    const int x = model.Map().Px(static_cast<int>(cap.left) + 30), y = model.Map().Px(static_cast<int>(cap.top) + 30);
    ASSERT_EQ(model.PressAtPixel(x, y), El::LabItem0);
    model.DragToPixel(El::LabItem0, x + 3, y);
    EXPECT_EQ(model.Get(El::PicItem).rect.left, 90 + 30);
    EXPECT_EQ(model.PressAtPixel(-50, -50), std::nullopt);
}

TEST_F(EditorModelTest, TeamBackdropMakesCaptionsTransparent) {
    TempDir dir;
    const std::string pic = dir.File("team.bmp");
    std::ofstream(pic) << "x";
    model.SetSlotText(30, pic);
    ASSERT_TRUE(model.ApplyProperty(30));
    EXPECT_FALSE(model.Get(El::LabTeam1).opaque);
    EXPECT_EQ(R(El::PicTeam).width, 3255);  // a panel picture does not size the panel
    model.SetSlotText(30, "");
    ASSERT_TRUE(model.ApplyProperty(30));
    EXPECT_TRUE(model.Get(El::LabTeam1).opaque);
}

TEST_F(EditorModelTest, BadPictureWhileLoadingKeepsItsPathMarkedMissing) {
    model.isLoadingProject = true;
    model.SetSlotText(5, "/nowhere/min.gif");
    EXPECT_EQ(model.SlotText(5), "/nowhere/min.gif");
    EXPECT_TRUE(model.IsMissing(5));
    EXPECT_EQ(model.Get(El::ImgMin).picture, PictureSource::BuiltIn);  // the stand-in stays
    model.isLoadingProject = false;
    // Typed outside loading, a bad picture still empties its box.
    model.SetSlotText(5, "/nowhere/other.gif");
    EXPECT_FALSE(model.IsMissing(5));
    EXPECT_FALSE(model.ApplyProperty(5));
    EXPECT_EQ(model.SlotText(5), "");
    EXPECT_EQ(model.Get(El::ImgMin).picture, PictureSource::BuiltIn);  // the stand-in, as for any unset picture
}

TEST_F(EditorModelTest, TitleHandles) {
    // Right handle 300 to the right: wider, top/bottom handles and text re-centred.
    Drag(El::LabMove2, 50, 50, 350, 50);
    EXPECT_EQ(R(El::ShpTitle).width, 4800);
    EXPECT_EQ(R(El::LabMove1).left, (4800 - 100) / 2.0);
    EXPECT_EQ(R(El::LabMove2).left, 4700);
    EXPECT_EQ(R(El::ImgTitle).width, 4800);

    // Left handle 1000 to the right: narrower, right edge stays.
    Drag(El::LabMove0, 50, 50, 1050, 50);
    EXPECT_EQ(R(El::ShpTitle).left, 1000);
    EXPECT_EQ(R(El::ShpTitle).Right(), 4800);

    // Left handle past the right edge: width unchanged, left edge follows the handle.
    Drag(El::LabMove0, 0, 0, 5000, 0);
    EXPECT_EQ(R(El::ShpTitle).left, 6000);
    EXPECT_EQ(R(El::ShpTitle).width, 3800);

    // Bottom handle up past the top: height unchanged.
    Drag(El::LabMove3, 0, 0, 0, -1000);
    EXPECT_EQ(R(El::ShpTitle).height, 495);
    Drag(El::LabMove3, 0, 0, 0, 105);
    EXPECT_EQ(R(El::ShpTitle).height, 600);
    EXPECT_EQ(R(El::LabTitle).top, (600 - 240) / 2.0);
}

TEST_F(EditorModelTest, TitleGripMovesTheTitleArea) {
    Drag(El::LabTitle, 10, 10, 70, -20);
    EXPECT_EQ(R(El::ShpTitle).left, 60);
    EXPECT_EQ(R(El::ShpTitle).top, -30);
    EXPECT_EQ(R(El::LabMove0).left, 60);
    EXPECT_EQ(R(El::LabTitle).left, 260);
}

TEST_F(EditorModelTest, LocksGuardOnlyTheirPage) {
    model.SetLock(0, true);
    const MockRect title = R(El::ShpTitle), close = R(El::ImgClose);
    Drag(El::ImgTitle, 0, 0, 100, 100);
    Drag(El::ImgClose, 0, 0, 100, 100);
    Drag(El::LabMove2, 0, 0, 100, 0);
    EXPECT_EQ(R(El::ShpTitle).left, title.left);
    EXPECT_EQ(R(El::ShpTitle).width, title.width);
    EXPECT_EQ(R(El::ImgClose).left, close.left);

    Drag(El::PicTeam, 0, 0, 100, 50);
    EXPECT_EQ(R(El::PicTeam).left, 700);
    Drag(El::LabMenu0, 0, 0, 100, 0);
    EXPECT_EQ(R(El::LabMenu0).left, 340);

    model.SetLock(3, true);
    Drag(El::LabItem0, 0, 0, 100, 100);
    EXPECT_EQ(R(El::PicItem).left, 90);
}

TEST_F(EditorModelTest, PressingAnItemCaptionMovesTheWholePanel) {
    const MockRect icon = R(El::PicIcon0);
    Drag(El::LabItem0, 10.4, 10.6, -200, 400);
    EXPECT_EQ(R(El::PicItem).left, 90 - 210);
    EXPECT_EQ(R(El::PicItem).top, 1680 + 389);
    EXPECT_EQ(R(El::PicIcon0).left, icon.left);  // children stay put inside the panel
    EXPECT_EQ(model.DragAnchorX(), 10);
    EXPECT_EQ(model.DragAnchorY(), 11);
}

TEST_F(EditorModelTest, DraggingACaptionKeepsTheMenuRow) {
    Drag(El::LabMenu2, 0, 0, 500, 300);
    const double top = R(El::LabMenu2).top;
    EXPECT_EQ(R(El::LabMenu2).left, 1820);
    for (int k = 0; k < 3; ++k) {
        El a = static_cast<El>(static_cast<int>(El::LabMenu0) + k);
        El b = static_cast<El>(static_cast<int>(El::LabMenu0) + k + 1);
        EXPECT_EQ(R(a).top, top);
        EXPECT_EQ(R(b).left, R(a).Right() + 180) << k;
    }
    EXPECT_EQ(R(El::ShpMenu).left, R(El::LabMenu0).left - 50);
    EXPECT_EQ(R(El::ShpMenu).top, top - 50);
    EXPECT_EQ(R(El::ShpMenu).width, 460);
}

TEST_F(EditorModelTest, ElementDraggedOffTheWindowCanBeFetchedBack) {
    const MockRect window = R(El::PicEditIn);
    auto same = [](const MockRect& a, const MockRect& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    };
    // The title handles stick out a few twips by design; that is no reason
    // to scroll.
    EXPECT_TRUE(same(model.ReachableArea(), window));

    // Wholly off the left edge: still under the mouse where it was left,
    // and inside the area the canvas scrolls over, with room to grab it.
    Drag(El::ImgClose, 10, 10, -8000, 10);
    const MockRect out = R(El::ImgClose);
    ASSERT_EQ(out.left, -4050);
    ASSERT_LT(out.Right(), 0);
    EXPECT_EQ(model.HitTest(out.left + 150, out.top + 150), El::ImgClose);
    const MockRect area = model.ReachableArea();
    EXPECT_EQ(area.left, -4050 - 120);
    EXPECT_EQ(area.top, 0);
    EXPECT_EQ(area.Right(), window.width);
    EXPECT_EQ(area.Bottom(), window.height);

    // Below and right of the window too.
    Drag(El::PicItem, 0, 0, 6000, 6000);
    EXPECT_EQ(model.HitTest(R(El::PicItem).left + 5, R(El::PicItem).top + 5), El::PicItem);
    EXPECT_EQ(model.ReachableArea().Right(), R(El::PicItem).Right() + 120);
    EXPECT_EQ(model.ReachableArea().Bottom(), R(El::PicItem).Bottom() + 120);

    // Grabbed there and dragged back, everything is on the window again.
    model.MouseDown(El::ImgClose, 150, 150);
    model.MouseMove(El::ImgClose, 150 + 5000, 150);
    model.MouseDown(El::PicItem, 5, 5);
    model.MouseMove(El::PicItem, 5 - 6000, 5 - 6000);
    EXPECT_EQ(R(El::ImgClose).left, 950);
    EXPECT_EQ(R(El::PicItem).left, 90);
    EXPECT_TRUE(same(model.ReachableArea(), window));
}

TEST_F(EditorModelTest, HitTestPicksTheTopmostAndClipsPanelChildren) {
    // The right handle lies over the title grip; the title text drags it.
    EXPECT_EQ(model.HitTest(4450, 240), El::LabMove2);
    EXPECT_EQ(model.HitTest(300, 240), El::LabTitle);
    EXPECT_EQ(model.HitTest(3000, 50), El::ImgTitle);
    EXPECT_EQ(model.HitTest(3965, 125), El::ImgClose);
    // A caption inside the item panel, then the panel narrowed past it.
    const MockRect cap = model.AbsoluteRect(El::LabItem1);
    EXPECT_EQ(cap.left, 90 + 1320);
    EXPECT_EQ(model.HitTest(cap.left + 10, cap.top + 10), El::LabItem1);
    model.SetSlotText(43, "0");
    ASSERT_TRUE(model.ApplyProperty(43));
    EXPECT_EQ(model.HitTest(cap.left + 10, cap.top + 10), std::nullopt);
    EXPECT_EQ(model.HitTest(-1, -1), std::nullopt);
}

TEST_F(EditorModelTest, OverlapsLookAndPickAsInTheLauncher) {
    // The team bar moved over the top of the item panel: the panel is drawn
    // over it and so takes the press, as in the launcher.
    model.MoveTo(El::PicTeam, 600, 1700);
    EXPECT_EQ(model.HitTest(700, 1750), El::PicItem);
    // A button over the item panel stays on top of it.
    model.MoveTo(El::ImgLeft, 600, 2500);
    EXPECT_EQ(model.HitTest(650, 2550), El::ImgLeft);
    // The menu caption pressed where it lies over the title area.
    model.MoveTo(El::LabMenu0, 1000, 100);
    model.PlaceMenuRowFromFirst();
    EXPECT_EQ(model.HitTest(1010, 110), El::LabMenu0);
}

TEST(EditorPaintOrder, FollowsTheLaunchersOrder) {
    // The launcher paints its scene in the order of its parts; every mock-up
    // element that stands for one of them keeps that order.
    const std::pair<El, Part> kSame[] = {
        {El::ImgTitle, Part::ImgTitle}, {El::LabTitle, Part::LabTitle}, {El::ShpMenu, Part::ShpMenu},
        {El::LabMenu0, Part::LabMenu},  {El::PicTeam, Part::PicTeam},   {El::PicItem, Part::PicItem},
        {El::ImgClose, Part::ImgClose}, {El::ImgMin, Part::ImgMin},     {El::ImgLock, Part::ImgLock},
        {El::ImgLeft, Part::ImgLeft},   {El::ImgRight, Part::ImgRight}, {El::ImgUp, Part::ImgUp},
        {El::ImgDown, Part::ImgDown},
    };
    const Scene scene;
    const std::vector<ElementId> launcher = scene.PaintOrder();
    auto launcherRank = [&](Part p) {
        return std::find(launcher.begin(), launcher.end(), ElementId{p, 0}) - launcher.begin();
    };
    const std::vector<El>& editor = MockPaintOrder();
    auto editorRank = [&](El e) { return std::find(editor.begin(), editor.end(), e) - editor.begin(); };
    for (const auto& [e1, p1] : kSame)
        for (const auto& [e2, p2] : kSame) {
            if (e1 == e2) continue;
            EXPECT_EQ(editorRank(e1) < editorRank(e2), launcherRank(p1) < launcherRank(p2))
                << static_cast<int>(e1) << " / " << static_cast<int>(e2);
        }
    // The editor's own outline and handles are drawn over everything.
    EXPECT_EQ(editor.back(), El::LabMove3);
}

TEST(EditorCursors, GripsAndHandles) {
    EXPECT_EQ(CursorOf(El::LabMove0), DragCursor::SizeWE);
    EXPECT_EQ(CursorOf(El::LabMove3), DragCursor::SizeNS);
    EXPECT_EQ(CursorOf(El::ImgDown), DragCursor::SizeAll);
    EXPECT_EQ(CursorOf(El::LabTeam1), DragCursor::Arrow);
    EXPECT_EQ(CursorOf(El::PicEditIn), DragCursor::Arrow);
    EXPECT_FALSE(DragTargetOf(El::ShpMenu));
}

}  // namespace
}  // namespace vt

// Docking sizers on real widgets: margins and bands, gravity 0, percentages, replay on
// resize, and ownership of the tree.
#include "LayoutTestApp.h"

#include "qvkit/layout/CPercentSizer.h"
#include "qvkit/layout/ccSizer.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <memory>
#include <vector>

namespace {
using G = ccSizer::GRAV_TYPE;

std::unique_ptr<QWidget> MakeWindow(int width, int height) {
    LayoutTestApp();
    auto window = std::make_unique<QWidget>();
    window->resize(width, height);
    return window;
}

class CountingSizer : public ccSizer {
public:
    CountingSizer(int id, std::vector<int>* log, ccSizer* parent)
        : ccSizer(G::GRAV_TOP, 10, parent), _id(id), _log(log) {}
    ~CountingSizer() override { _log->push_back(_id); }

private:
    int _id;
    std::vector<int>* _log;
};
} // namespace

TEST(ccSizer, BandsMarginsAndFillersOfTheIssueWindow) {
    auto window = MakeWindow(500, 400);
    auto* buttons = new QWidget(window.get());
    auto* label = new QWidget(window.get());
    auto* description = new QWidget(window.get());
    auto* grid = new QWidget(window.get());
    auto* overlap = new QWidget(window.get());

    ccSizer root(window.get(), G::GRAV_NONE, 0, nullptr);
    new ccSizer(buttons, G::GRAV_TOP, 23, &root);
    new ccSizer(G::GRAV_BOTTOM, 7, &root);
    new ccSizer(G::GRAV_LEFT, 7, &root);
    new ccSizer(G::GRAV_RIGHT, 7, &root);
    auto* band = new ccSizer(G::GRAV_BOTTOM, 26, &root);
    new ccSizer(label, G::GRAV_LEFT, 60, band);
    new ccSizer(description, G::GRAV_NONE, 0, band);
    new ccSizer(G::GRAV_BOTTOM, 3, &root);
    new ccSizer(grid, G::GRAV_NONE, 50, &root);
    auto* last = new ccSizer(overlap, G::GRAV_NONE, 0, &root);
    last->UpdateSize(); // passed up to the root

    EXPECT_EQ(buttons->geometry(), QRect(0, 0, 500, 23));
    EXPECT_EQ(label->geometry(), QRect(7, 367, 60, 26)) << "children share their band";
    EXPECT_EQ(description->geometry(), QRect(67, 367, 426, 26));
    EXPECT_EQ(grid->geometry(), QRect(7, 23, 486, 400 - 23 - 7 - 26 - 3))
        << "23 off the top, 7 off the other sides, then the band and the gap";
    EXPECT_EQ(overlap->geometry(), grid->geometry()) << "gravity-0 siblings get the same area";

    window->resize(640, 480);
    root.UpdateSize();
    EXPECT_EQ(grid->geometry(), QRect(7, 23, 626, 480 - 59)) << "a resize replays the tree";
}

TEST(ccSizer, PercentBandsRightSideAndOversizedBands) {
    auto window = MakeWindow(301, 200);
    auto* half = new QWidget(window.get());
    auto* right = new QWidget(window.get());
    auto* bottom = new QWidget(window.get());
    auto* rest = new QWidget(window.get());
    ccSizer root(window.get(), G::GRAV_NONE, 0, nullptr);
    new CPercentSizer(half, G::GRAV_LEFT, 50, &root);
    new CPercentSizer(right, G::GRAV_RIGHT, 29, &root);
    new CPercentSizer(bottom, G::GRAV_BOTTOM, 10, &root);
    new CPercentSizer(rest, G::GRAV_TOP, 0, &root);
    root.UpdateSize();
    EXPECT_EQ(half->geometry(), QRect(0, 0, 150, 200)) << "50% of 301 pixels is 150";
    EXPECT_EQ(right->geometry(), QRect(258, 0, 43, 200)) << "29% of the 151 left, truncated";
    EXPECT_EQ(bottom->geometry(), QRect(150, 180, 108, 20));
    EXPECT_EQ(rest->geometry(), QRect(150, 0, 108, 180)) << "percent 0 takes the whole area";

    auto small = MakeWindow(100, 100);
    auto* squeezed = new QWidget(small.get());
    ccSizer tree(small.get(), G::GRAV_NONE, 0, nullptr);
    new CPercentSizer(G::GRAV_LEFT, 29, &tree);
    new ccSizer(G::GRAV_LEFT, 150, &tree);
    new ccSizer(squeezed, G::GRAV_NONE, 0, &tree);
    tree.UpdateSize();
    EXPECT_EQ(squeezed->width(), 0) << "a band wider than the space left leaves an empty area";
    EXPECT_EQ(tree.Children()[0]->Size(), 29);
}

TEST(ccSizer, TheRootOwnsTheTreeAndDeletesTheLastCreatedFirst) {
    std::vector<int> deleted;
    auto* root = new ccSizer(G::GRAV_NONE, 0, nullptr);
    new CountingSizer(1, &deleted, root);
    auto* second = new CountingSizer(2, &deleted, root);
    new CountingSizer(21, &deleted, second);
    auto* third = new CountingSizer(3, &deleted, root);
    delete third;
    EXPECT_EQ(root->Children().size(), 2u) << "a child deleted alone leaves its parent's list";

    deleted.clear();
    root->UpdateSize(); // a root without a window places nothing
    delete root;
    EXPECT_EQ(deleted, (std::vector<int>{2, 21, 1})) << "last created first, with its children";
}

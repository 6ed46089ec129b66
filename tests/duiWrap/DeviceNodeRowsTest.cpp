#include "duiWrap/DeviceNodeRows.h"
#include "duiWrap/RowMarkup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

// The device list as first written: each insertion point is found by searching the rows for the
// parent's last descendant. Quadratic, but obviously right; the fast rows must match it exactly.
struct PlainNode {
    PlainNode* parent = nullptr;
    std::vector<std::unique_ptr<PlainNode>> children;
    int level = -1;
    bool expanded = true;
    bool isGroup = true;
    std::string id, text, rowText;
    bool visible = true;
};

class PlainRows {
public:
    PlainNode root;
    std::vector<PlainNode*> rows;

    static std::string Row(const PlainNode& n)
    {
        std::string s = "<x 6>";
        for (int i = 0; i < n.level; ++i)
            s += "<x 24>";
        if (n.isGroup)
            s += n.expanded ? "<a><i tree_expand.png 2 1></a>" : "<a><i tree_expand.png 2 0></a>";
        return s + n.text;
    }
    long IndexOf(PlainNode* n)
    {
        auto it = std::find(rows.begin(), rows.end(), n);
        return it == rows.end() ? -1 : it - rows.begin();
    }
    PlainNode* Add(const std::string& text, bool isGroup, const std::string& id, PlainNode* parent)
    {
        if (!parent)
            parent = &root;
        auto n = std::make_unique<PlainNode>();
        n->parent = parent;
        n->level = parent->level + 1;
        n->expanded = n->level == 0;
        n->isGroup = isGroup;
        n->id = id;
        n->text = text;
        n->rowText = Row(*n);
        long index;
        if (!parent->children.empty()) {
            PlainNode* last = parent->children.back().get();
            while (!last->children.empty())
                last = last->children.back().get();
            index = IndexOf(last) + 1;
        } else if (parent == &root) {
            index = 0;
        } else {
            index = IndexOf(parent) + 1;
        }
        rows.insert(rows.begin() + index, n.get());
        parent->children.push_back(std::move(n));
        return parent->children.back().get();
    }
    void SetChildVisible(PlainNode* n, bool expanded)
    {
        if (!n || n == &root || n->expanded == expanded)
            return;
        n->expanded = expanded;
        n->rowText = Row(*n);
        if (!n->visible || n->children.empty())
            return;
        PlainNode* last = n->children.back().get();
        while (!last->children.empty())
            last = last->children.back().get();
        for (long i = IndexOf(n->children.front().get()); i <= IndexOf(last); ++i)
            rows[i]->visible = rows[i]->parent->expanded && rows[i]->parent->visible;
    }
    void Remove(PlainNode* n)
    {
        for (auto& c : n->children)
            Remove(c.get());
        rows.erase(rows.begin() + IndexOf(n));
    }
    void Delete(PlainNode* n)
    {
        Remove(n);
        auto& sib = n->parent->children;
        sib.erase(std::find_if(sib.begin(), sib.end(), [n](auto& c) { return c.get() == n; }));
    }
};

void ExpectSameRows(DeviceNodeRows& fast, PlainRows& plain)
{
    ASSERT_EQ(fast.RowCount(), plain.rows.size());
    for (size_t i = 0; i < plain.rows.size(); ++i) {
        const DeviceNode* f = fast.NodeAt(i);
        const PlainNode* p = plain.rows[i];
        ASSERT_EQ(f->text, p->text) << "row " << i;
        ASSERT_EQ(f->rowText, p->rowText) << "row " << i;
        ASSERT_EQ(f->rowVisible, p->visible) << "row " << i;
        ASSERT_EQ(fast.RowOf(f), static_cast<long>(i));
    }
}

// Random operations on both lists, nodes picked by position among the nodes added so far.
TEST(DeviceNodeRows, MatchesThePlainAlgorithmOnRandomTrees)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        DeviceNodeRows fast;
        PlainRows plain;
        std::vector<DeviceNode*> fastNodes;
        std::vector<PlainNode*> plainNodes;
        auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
        for (int op = 0; op < 400; ++op) {
            const unsigned kind = static_cast<unsigned>(pick(10));
            if (kind < 6 || fastNodes.empty()) {
                const bool underRoot = fastNodes.empty() || pick(8) == 0;
                const size_t p = underRoot ? 0 : pick(fastNodes.size());
                const bool group = pick(3) != 0;
                const std::string text = "{x 4}{i gameicons.png 18 7}{x }n" + std::to_string(op);
                const std::string id = "id" + std::to_string(op % 37);
                fastNodes.push_back(fast.AddNode(text, group, id, underRoot ? nullptr : fastNodes[p]));
                plainNodes.push_back(plain.Add(text, group, id, underRoot ? nullptr : plainNodes[p]));
            } else if (kind < 9) {
                const size_t i = pick(fastNodes.size());
                const bool expanded = pick(2) == 0;
                fast.SetChildVisible(fastNodes[i], expanded);
                plain.SetChildVisible(plainNodes[i], expanded);
            } else {
                const size_t i = pick(fastNodes.size());
                std::vector<size_t> gone;  // the node and its subtree leave both index lists
                for (size_t j = 0; j < plainNodes.size(); ++j)
                    for (PlainNode* a = plainNodes[j]; a; a = a->parent)
                        if (a == plainNodes[i]) {
                            gone.push_back(j);
                            break;
                        }
                fast.Remove(fastNodes[i]);
                plain.Delete(plainNodes[i]);
                for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
                    fastNodes.erase(fastNodes.begin() + static_cast<long>(*it));
                    plainNodes.erase(plainNodes.begin() + static_cast<long>(*it));
                }
            }
            ExpectSameRows(fast, plain);
            if (HasFatalFailure())
                return;
        }
    }
}

// A tree built the way the main window builds it: account row, nodes with cameras before sub-nodes.
TEST(DeviceNodeRows, RebuildShowsOnlyAccountAndTopNodes)
{
    DeviceNodeRows rows;
    DeviceNode* account = rows.AddNode(std::string(RowMarkup::kAccountIcon) + "13800000000", true, "", nullptr);
    DeviceNode* site = rows.AddNode(std::string(RowMarkup::kNodeIcon) + "Site", true, "n1", account);
    rows.AddNode(std::string(RowMarkup::kCameraOnlineIcon) + "Gate", false, "cam1", site);
    DeviceNode* sub = rows.AddNode(std::string(RowMarkup::kNodeIcon) + "Floor", true, "n2", site);
    rows.AddNode(std::string(RowMarkup::kCameraOfflineIcon) + "Hall", false, "cam2", sub);
    rows.AddNode(std::string(RowMarkup::kNodeIcon) + "Depot", true, "n3", account);
    rows.SetChildVisible(account, false);
    rows.SetChildVisible(account, true);

    std::vector<std::string> shown;
    for (size_t i = 0; i < rows.RowCount(); ++i)
        if (rows.NodeAt(i)->rowVisible)
            shown.push_back(rows.NodeAt(i)->label);
    EXPECT_EQ(shown, (std::vector<std::string>{"13800000000", "Site", "Depot"}));
    EXPECT_EQ(rows.NodeAt(0)->rowText, "<x 6><a><i tree_expand.png 2 1></a>{x 4}{i gameicons.png 18 7}{x 4}13800000000");
    EXPECT_EQ(rows.NodeAt(1)->rowText, "<x 6><x 24><a><i tree_expand.png 2 0></a>{x 4}{i gameicons.png 18 7}{x }Site");
    EXPECT_EQ(rows.NodeAt(2)->rowText, "<x 6><x 24><x 24>{x 4}{i gameicons.png 18 4}{x 4}Gate");

    // Expanding the site shows its camera and the collapsed floor, not the floor's camera.
    rows.SetChildVisible(site, true);
    EXPECT_TRUE(rows.NodeAt(2)->rowVisible);
    EXPECT_TRUE(rows.NodeAt(3)->rowVisible);
    EXPECT_FALSE(rows.NodeAt(4)->rowVisible);
    // Collapsing the account row hides everything below it.
    rows.SetChildVisible(account, false);
    for (size_t i = 1; i < rows.RowCount(); ++i)
        EXPECT_FALSE(rows.NodeAt(i)->rowVisible) << i;
}

TEST(DeviceNodeRows, SetCameraTextChangesOnlyTheFirstCameraInTreeOrder)
{
    DeviceNodeRows rows;
    DeviceNode* a = rows.AddNode("{x 4}{i gameicons.png 18 7}{x }A", true, "n1", nullptr);
    DeviceNode* inner = rows.AddNode("{x 4}{i gameicons.png 18 7}{x }Inner", true, "cam9", a);  // a node with a camera's id
    DeviceNode* first = rows.AddNode("{x 4}{i gameicons.png 18 4}{x 4}Gate", false, "cam9", inner);
    DeviceNode* b = rows.AddNode("{x 4}{i gameicons.png 18 7}{x }B", true, "n2", nullptr);
    DeviceNode* second = rows.AddNode("{x 4}{i gameicons.png 18 4}{x 4}Gate", false, "cam9", b);

    const std::string offline = std::string(RowMarkup::kCameraOfflineIcon) + "Gate";
    EXPECT_EQ(rows.SetCameraText(rows.Root(), "cam9", offline), 0);
    EXPECT_EQ(first->text, offline);
    EXPECT_EQ(first->rowText, "<x 6><x 24><x 24>" + offline);
    EXPECT_EQ(second->text, "{x 4}{i gameicons.png 18 4}{x 4}Gate");
    EXPECT_EQ(inner->text, "{x 4}{i gameicons.png 18 7}{x }Inner");

    EXPECT_EQ(rows.SetCameraText(rows.Root(), "nope", offline), -1);
    EXPECT_EQ(rows.SetCameraText(rows.Root(), "", offline), -1);
    EXPECT_EQ(rows.SetCameraText(nullptr, "cam9", offline), -1);
}

TEST(DeviceNodeRows, ExpanderRangeFollowsTheLevel)
{
    DeviceNodeRows rows;
    DeviceNode* top = rows.AddNode("top", true, "", nullptr);
    DeviceNode* node = rows.AddNode("node", true, "n", top);
    EXPECT_EQ(DeviceNodeRows::ExpanderRange(top), std::make_pair(2, 26));
    EXPECT_EQ(DeviceNodeRows::ExpanderRange(node), std::make_pair(26, 50));
    EXPECT_EQ(DeviceNodeRows::ExpanderRange(rows.Root()), std::make_pair(0, 0));
    EXPECT_EQ(DeviceNodeRows::ExpanderRange(nullptr), std::make_pair(0, 0));
}

TEST(DeviceNodeRows, RemoveAllStartsAgainWithAFreshRoot)
{
    DeviceNodeRows rows;
    DeviceNode* top = rows.AddNode("top", true, "", nullptr);
    rows.AddNode("child", false, "c", top);
    rows.RemoveAll();
    EXPECT_EQ(rows.RowCount(), 0u);
    EXPECT_TRUE(rows.Root()->children.empty());
    EXPECT_EQ(rows.Root()->level, -1);
    DeviceNode* again = rows.AddNode("again", true, "", nullptr);
    EXPECT_EQ(rows.RowOf(again), 0);
}

TEST(RowMarkup, LabelIsTheTextAfterTheLastBrace)
{
    EXPECT_EQ(RowMarkup::LabelOf("{x 4}{i gameicons.png 18 4}{x 4}Gate 1"), "Gate 1");
    EXPECT_EQ(RowMarkup::LabelOf("plain"), "plain");
    EXPECT_EQ(RowMarkup::LabelOf("{x 4}"), "");
}

}  // namespace

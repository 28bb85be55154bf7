#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainMenu.h"

namespace orv::test {
namespace {

// The letters a text marks as its mnemonic: each that follows a single "&" ("&&" is a
// plain "&"), in capitals so that "d" and "D" count as one key.
std::vector<Text> mnemonics(TextView text) {
    std::vector<Text> marked;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '&') {
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == '&') {
            ++at;
            continue;
        }
        marked.push_back(at + 1 < text.size() ? to_upper_cp1252(text.substr(at + 1, 1)) : "");
    }
    return marked;
}

TEST(MainMenu, EveryTitleAndItemHasOneMnemonicThatNoNeighbourShares) {
    // One group per keyboard level: the menu bar's titles, each menu's items, the popup menu.
    std::vector<std::pair<Text, std::vector<Text>>> groups;
    std::vector<Text> titles;
    for (const Menu& menu : main_menu_bar()) {
        titles.push_back(menu.title);
        std::vector<Text> items;
        for (const MenuItem& item : menu.items) {
            if (item.command != 0) {
                items.push_back(item.text);
            }
        }
        groups.emplace_back(menu.title, items);
    }
    groups.emplace_back("menu bar", titles);
    std::vector<Text> popup;
    for (const MenuItem& item : list_popup_menu()) {
        popup.push_back(item.text);
    }
    groups.emplace_back("popup menu", popup);

    for (const auto& [group, texts] : groups) {
        SCOPED_TRACE(group);
        std::set<Text> used;
        for (const Text& text : texts) {
            const std::vector<Text> marked = mnemonics(text);
            ASSERT_EQ(marked.size(), std::size_t{1}) << text;
            EXPECT_NE(marked[0].find_first_not_of(" \t"), Text::npos) << text;
            EXPECT_TRUE(used.insert(marked[0]).second) << text << " repeats " << marked[0];
        }
    }
}

} // namespace
} // namespace orv::test

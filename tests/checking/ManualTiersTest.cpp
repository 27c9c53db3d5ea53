// The manual's tables of tiers say what the checker does: every tier of every game is in its
// game's table, as a win or a loss, and listed with its line exactly when the report lists it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "checking/GameVariants.h"
#include "support/TempDir.h"

namespace {

// A table's rows: each tier name of the first cell ("Match 6 (Jackpot!)" as "Match 6") with the
// row's "Counts as" and "Listed with its line" cells.
struct Row {
    std::string countsAs, listed;
};

std::map<std::string, Row> TableAfter(const std::string& html, const std::string& heading)
{
    std::map<std::string, Row> rows;
    const auto at = html.find("<h3>" + heading);
    if (at == std::string::npos)
        return rows;
    const auto end = html.find("</table>", at);
    for (auto row = html.find("<tr><td>", at); row != std::string::npos && row < end;
         row = html.find("<tr><td>", row + 1)) {
        std::vector<std::string> cells;
        for (auto cell = html.find("<td>", row); cell != std::string::npos && cell < html.find("</tr>", row);
             cell = html.find("<td>", cell + 1))
            cells.push_back(bmtest::WithoutTags(html.substr(cell + 4, html.find("</td>", cell) - cell - 4)));
        if (cells.size() != 4)
            continue;
        std::string names = cells[0];
        if (const auto paren = names.find(" ("); paren != std::string::npos)
            names.erase(paren);
        for (std::size_t from = 0; from <= names.size();) {
            const auto comma = names.find(", ", from);
            rows[names.substr(from, comma - from)] = Row{cells[2], cells[3]};
            from = comma == std::string::npos ? names.size() + 1 : comma + 2;
        }
    }
    return rows;
}

TEST(ManualTiers, EveryTierIsInItsTableAsTheReportTreatsIt)
{
    const std::string html = bmtest::ReadBytes(std::filesystem::path(PROJECT_SOURCE_DIR) / "doc/manual/checking.html");
    const std::map<std::string, std::string> headings{{"six", "6-number game"},
                                                      {"five", "5-number game"},
                                                      {"powerball", "Powerball game"},
                                                      {"seven", "7-number game"}};
    int checked = 0;
    for (const bm::CheckerVariant& variant : bm::CheckerVariants()) {
        const auto heading = headings.find(variant.id);
        if (heading == headings.end())
            continue;
        SCOPED_TRACE(heading->second);
        const auto table = TableAfter(html, heading->second);
        ASSERT_FALSE(table.empty());
        for (const bm::CheckGame* game : {variant.withBonus, variant.withoutBonus})
            for (const bm::Tier& tier : game->tiers) {
                std::string name = tier.summaryLabel;
                name.erase(name.find(" - "));
                SCOPED_TRACE(std::string(game->name) + ": " + name);
                const auto row = table.find(name);
                ASSERT_NE(row, table.end()) << "the manual's table has no row for the tier";
                EXPECT_EQ(row->second.countsAs, tier.losing ? "loss" : "win");
                // A plain yes: a row of tiers that are listed only in some games would say one of them wrong.
                if (tier.reportLine)
                    EXPECT_EQ(row->second.listed, "yes");
                else
                    EXPECT_EQ(row->second.listed.rfind("no", 0), 0u) << row->second.listed;
                ++checked;
            }
    }
    EXPECT_GE(checked, 40);
}

}  // namespace

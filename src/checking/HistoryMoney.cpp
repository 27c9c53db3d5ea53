#include "checking/HistoryMoney.h"

#include <cmath>
#include <cstdio>

namespace bm {

namespace {

constexpr std::int64_t kMostHundredths = 10'000'000'000'000;  // a hundred billion

std::optional<std::int64_t> Digits(std::string_view text)
{
    if (text.empty() || text.size() > 15 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::int64_t v = 0;
    for (char c : text)
        v = v * 10 + (c - '0');
    return v;
}

}  // namespace

std::optional<std::int64_t> ParseAmount(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return 0;
    const std::size_t dot = text.find('.');
    const auto whole = Digits(text.substr(0, dot));
    if (!whole)
        return std::nullopt;
    std::int64_t cents = 0;
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        const auto part = Digits(fraction);
        if (!part || fraction.size() > 2)
            return std::nullopt;
        cents = fraction.size() == 1 ? *part * 10 : *part;
    }
    if (*whole > kMostHundredths / 100)
        return std::nullopt;
    return *whole * 100 + cents;
}

std::string AmountText(long double hundredths)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2Lf", std::round(hundredths) / 100.0L);
    return text;
}

long double WonBy(const HistoryPrizes& prizes, const Tally& tally)
{
    long double won = 0;
    for (std::size_t t = 0; t < prizes.prize.size() && t < tally.count.size(); ++t)
        won += static_cast<long double>(tally.count[t]) * static_cast<long double>(prizes.prize[t]);
    return won;
}

std::vector<std::int64_t> TierPrizes(const CheckGame& game, const std::vector<std::int64_t>& divisions)
{
    std::vector<std::int64_t> prizes(game.tiers.size(), -1);
    for (std::size_t d = 0; d < divisions.size() && d < prizes.size(); ++d)
        prizes[prizes.size() - 1 - d] = divisions[d];
    return prizes;
}

long double WonBy(const HistoryPrizes& typed, const Tally& tally, const std::vector<std::int64_t>& tierPrizes)
{
    long double won = 0;
    for (std::size_t t = 0; t < tally.count.size(); ++t) {
        std::int64_t prize = t < tierPrizes.size() ? tierPrizes[t] : -1;
        if (prize <= 0)
            prize = t < typed.prize.size() ? typed.prize[t] : 0;
        won += static_cast<long double>(tally.count[t]) * static_cast<long double>(prize);
    }
    return won;
}

std::string PrizesText(const HistoryPrizes& prizes)
{
    std::string text;
    for (std::int64_t p : prizes.prize)
        text += std::to_string(p) + ";";
    return text + std::to_string(prizes.price);
}

std::optional<HistoryPrizes> PrizesFromText(std::string_view text, std::size_t tiers)
{
    HistoryPrizes prizes;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(';', start);
        const auto value = Digits(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (!value || *value > kMostHundredths)
            return std::nullopt;
        if (end == std::string_view::npos) {
            prizes.price = *value;
            break;
        }
        prizes.prize.push_back(*value);
        start = end + 1;
    }
    if (prizes.prize.size() != tiers)
        return std::nullopt;
    return prizes;
}

}  // namespace bm

#include "windowing/Mnemonics.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace bm {

namespace {

bool IsKey(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80;
}

char Lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// The positions a key could be marked at, best first; one position per key.
std::vector<std::size_t> Candidates(const std::string& caption)
{
    std::vector<std::size_t> initials, letters, digits;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (!IsKey(c))
            continue;
        const bool wordStart = i == 0 || !IsKey(caption[i - 1]);
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits.push_back(i);
        else
            (wordStart ? initials : letters).push_back(i);
    }
    std::vector<std::size_t> all;
    std::array<bool, 128> seen{};
    for (const auto* group : {&initials, &letters, &digits})
        for (std::size_t i : *group) {
            const auto key = static_cast<unsigned char>(Lower(caption[i]));
            if (!seen[key]) {
                seen[key] = true;
                all.push_back(i);
            }
        }
    return all;
}

// Finds keys for as many captions as possible (augmenting paths), trying each caption's
// candidates in their order of preference.
class Matching {
public:
    Matching(const std::vector<std::string>& captions, std::array<bool, 128> reserved)
        : captions_(captions),
          reserved_(reserved)
    {
        for (const auto& c : captions)
            candidates_.push_back(Candidates(c));
        chosen_.assign(captions.size(), std::nullopt);
        owner_.fill(-1);
    }

    void Assign(std::size_t caption)
    {
        std::array<bool, 128> visited{};
        (void)Augment(caption, visited);
    }

    std::optional<std::size_t> Chosen(std::size_t caption) const { return chosen_[caption]; }

private:
    unsigned char KeyAt(std::size_t caption, std::size_t pos) const
    {
        return static_cast<unsigned char>(Lower(captions_[caption][pos]));
    }

    // A free key first, so that keys given earlier stay where they are; only when none is free
    // does an earlier caption move to another of its keys.
    bool Augment(std::size_t caption, std::array<bool, 128>& visited)
    {
        for (const bool free : {true, false}) {
            for (std::size_t pos : candidates_[caption]) {
                const unsigned char key = KeyAt(caption, pos);
                if (reserved_[key] || visited[key] || (free && owner_[key] >= 0))
                    continue;
                visited[key] = true;
                if (owner_[key] < 0 || Augment(static_cast<std::size_t>(owner_[key]), visited)) {
                    Take(caption, pos, key);
                    return true;
                }
            }
        }
        return false;
    }

    void Take(std::size_t caption, std::size_t pos, unsigned char key)
    {
        owner_[key] = static_cast<int>(caption);
        chosen_[caption] = pos;
    }

    const std::vector<std::string>& captions_;
    std::array<bool, 128> reserved_;
    std::vector<std::vector<std::size_t>> candidates_;
    std::vector<std::optional<std::size_t>> chosen_;
    std::array<int, 128> owner_{};
};

}  // namespace

char MnemonicOf(const std::string& caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return Lower(caption[i + 1]);
    }
    return 0;
}

std::string WithoutMnemonic(const std::string& caption)
{
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

std::vector<std::string> WithMnemonics(const std::vector<std::string>& captions)
{
    std::array<bool, 128> reserved{};
    for (const auto& c : captions)
        if (const char key = MnemonicOf(c); key && static_cast<unsigned char>(key) < 128)
            reserved[static_cast<unsigned char>(key)] = true;
    std::vector<std::string> plain;
    for (const auto& c : captions) {
        if (MnemonicOf(c)) {
            plain.push_back(std::string());  // keeps its own key; nothing to match
            continue;
        }
        plain.push_back(c);
    }
    Matching matching(plain, reserved);
    for (std::size_t i = 0; i < plain.size(); ++i)
        matching.Assign(i);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (MnemonicOf(captions[i])) {
            out.push_back(captions[i]);
            continue;
        }
        std::string marked;
        const auto at = matching.Chosen(i);
        for (std::size_t p = 0; p < plain[i].size(); ++p) {
            if (at && p == *at)
                marked += '&';
            marked += plain[i][p];
        }
        out.push_back(marked);
    }
    return out;
}

}  // namespace bm

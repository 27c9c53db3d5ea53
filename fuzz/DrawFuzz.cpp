// The draw boxes accept any text. The first byte picks the checker and the bonus flag; the rest,
// split at line ends, are the box texts. Besides not crashing: a box that is refused is the first
// one that does not read, the message names it and says the right thing, and what is accepted is
// the box's number.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "checking/DrawEntry.h"
#include "checking/GameRules.h"
#include "common/Numbers.h"

using namespace bm;
using bmfuzz::Require;

namespace {

bool Decimal(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    int digits = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

void CheckNumber(const std::string& text)
{
    const auto number = DrawNumber(text);
    if (!Decimal(text)) {
        Require(!number, "a text that is not a decimal number was taken: \"" + text + "\"");
        return;
    }
    const double exact = std::strtod(std::string(TrimBlanks(text)).c_str(), nullptr);
    if (number)
        Require(std::fabs(exact - *number) <= 0.5, "\"" + text + "\" was taken as " + std::to_string(*number));
    else
        Require(std::fabs(exact) >= 2147483647.0, "\"" + text + "\" was refused though it is in range");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const auto variants = CheckerVariants();
    const CheckerVariant& variant = variants[data[0] % variants.size()];
    const CheckGame& game = variant.Game((data[0] >> 4) & 1);

    std::vector<std::string> texts;
    std::string current;
    for (char c : bmfuzz::AsText(data + 1, size - 1)) {
        if (c == '\n') {
            texts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    texts.push_back(current);
    for (const auto& t : texts)
        CheckNumber(t);

    const DrawReading reading = ReadDraw(game, texts);
    const int boxes = game.DrawSize();
    int firstBad = 0;
    for (int box = 1; box <= boxes && !firstBad; ++box)
        if (!DrawNumber(box <= static_cast<int>(texts.size()) ? texts[box - 1] : std::string()))
            firstBad = box;
    Require(reading.badBox == firstBad,
            "the refusal names box " + std::to_string(reading.badBox) + ", not box " + std::to_string(firstBad));
    if (!reading.ok()) {
        const std::string text = firstBad <= static_cast<int>(texts.size()) ? texts[firstBad - 1] : std::string();
        Require(reading.message.rfind(DrawBoxName(game, firstBad), 0) == 0, "a refusal that does not name the box");
        const char* says = TrimBlanks(text).empty() ? "is empty" : Decimal(text) ? "too large" : "is not a number";
        Require(reading.message.find(says) != std::string::npos,
                "the refusal of \"" + text + "\" does not say \"" + says + "\": " + reading.message);
        return 0;
    }
    Require(reading.draw.mainCount == game.mainDrawn, "a draw of the wrong size");
    for (int box = 1; box <= boxes; ++box) {
        const std::int32_t expected = *DrawNumber(texts[box - 1]);
        const std::int32_t got = box <= game.mainDrawn ? reading.draw.main[box - 1] : reading.draw.extra;
        Require(got == expected, "box " + std::to_string(box) + " read as another number");
    }
    // A draw that keeps the rules has different main numbers within the pool.
    const auto refusal = DrawRuleFault(game, 49, reading.draw);
    if (refusal) {
        Require(refusal->box >= 1 && refusal->box <= boxes, "a draw refusal beyond the boxes");
        Require(refusal->message.rfind(DrawBoxName(game, refusal->box), 0) == 0, "a draw refusal that names no box");
        return 0;
    }
    for (int i = 0; i < game.mainDrawn; ++i) {
        Require(reading.draw.main[i] >= 1 && reading.draw.main[i] <= 49, "a drawn number beyond the pool accepted");
        for (int j = 0; j < i; ++j)
            Require(reading.draw.main[i] != reading.draw.main[j], "a number drawn twice accepted");
    }
    return 0;
}

#include "protocol/Decoder.h"

#include "protocol/CountRule.h"
#include "protocol/FunctionTable.h"

#include <algorithm>

namespace varnex {

namespace {

using E = LcdElement;

constexpr std::size_t kFrameLength = 21;

// The overload display D0-D5 in LCD-font characters.
constexpr std::string_view kOverloadDigits[6] = {"0", "v", "@", "d", "--", "--"};

constexpr E kDigitLabels[6] = {E::LcdD0, E::LcdDa, E::LcdDb, E::LcdDc, E::LcdDd, E::LcdDe};
constexpr E kMainPoints[5] = {E::LcdP0, E::LcdP1, E::LcdP2, E::LcdP3, E::LcdP4};
constexpr E kSecondLabels[4] = {E::LCDd20, E::LCDD2A, E::LCDD2B, E::LCDD2C};
constexpr E kSecondPoints[3] = {E::LCDP21, E::LCDP22, E::LCDP23};

// Hidden at the start of every pass. LcdP4, lcdrange, the AVG/ALL/STO/RCL/CAL/SETUP labels,
// the second-display points and the digit labels are set by their own rules instead.
constexpr E kClearedEachPass[] = {
    E::LcdDc1, E::LcdV,  E::LCDA,  E::LCDohm, E::LCDF,   E::lcdhz,   E::Lcdm,    E::lcdkk,
    E::LCDMM,  E::LCDn,  E::lcduu, E::LCDk,   E::LCDM1,  E::LcdFH,   E::LcdP0,   E::LcdP1,
    E::LcdP2,  E::LcdP3, E::LcdAuto, E::LcdManu, E::Labmax, E::Labmin, E::LCDHOLD, E::LCDREL,
    E::LCDsend,
};

// Diode ("A") digit rules: the point position that triggers the rule (0: the "no point at
// 6, 8, 9, 10, 11" rule) and the frame position of each slot D0-D5 (0: slot untouched).
struct DiodeRule {
    int pointPosition;
    int slotPositions[6];
};

constexpr DiodeRule kDiodeRules[] = {
    {7, {5, 6, 8, 9, 10, 11}},
    {8, {5, 6, 7, 9, 10, 0}},
    {9, {5, 6, 7, 8, 10, 11}},
    {10, {5, 6, 7, 8, 9, 11}},
    {11, {5, 6, 7, 8, 9, 10}},
    {0, {5, 6, 7, 8, 9, 0}},
};

int NibbleValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// One pass's working values, over a frame whose positions count from 1.
class Pass {
public:
    Pass(std::string_view frame, std::string_view separator, DecodeResult& result)
        : frame_(frame), separator_(separator), result_(result), lcd_(result.lcd)
    {
    }

    void Run();

private:
    char At(int position) const { return frame_[static_cast<std::size_t>(position - 1)]; }
    std::string_view CharAt(int position) const
    {
        return frame_.substr(static_cast<std::size_t>(position - 1), 1);
    }
    bool AnyAt(std::initializer_list<int> positions, char c) const
    {
        return std::any_of(positions.begin(), positions.end(), [&](int p) { return At(p) == c; });
    }
    bool AnyPointIn(int first, int last) const
    {
        for (int p = first; p <= last; ++p)
            if (At(p) == 'E')
                return true;
        return false;
    }
    bool OverloadMarked() const { return AnyAt({5, 6, 7}, 'F'); }

    void Set(E e, Visibility v) { lcd_.visibility[ToIndex(e)] = v; }
    void Show(E e, bool shown) { Set(e, shown ? Visibility::Show : Visibility::Hide); }
    void SetText(E e, std::string_view text) { lcd_.text[ToIndex(e)].emplace(text); }

    void ClearLcd();
    void ApplyDigitRules();
    void ApplySecondDisplayRules();
    void ApplyAnnunciators();
    bool ApplyFunctionTable(); // false: the frame cannot be decoded further
    void ApplyPoints();
    void ShowDigitsAndSecondDisplay();
    void Evaluate();
    void SetChartValue();

    void CopySlots(const int (&positions)[6]);
    void ShowOverloadDigits() { std::copy(std::begin(kOverloadDigits), std::end(kOverloadDigits), digits_); }
    bool SignD1D2Is(std::string_view text) const;
    void BuildValueText(bool withP4);
    double CountOf(int slotCount) const;

    std::string_view frame_;
    std::string_view separator_;
    DecodeResult& result_;
    LcdState& lcd_;

    std::string_view sign_;
    std::string_view digits_[6];
    std::string_view points_[5];
    std::string_view second_[4];
    std::string_view secondPoints_[3];
    const RangeRow* range_ = nullptr;
};

void Pass::Run()
{
    Reading& reading = result_.reading;
    // 1. the link is alive (the window zeroes its watchdog)
    Set(E::CONok, Visibility::Show);
    Set(E::CONokN, Visibility::Hide);
    // 3-4
    reading.FunctionText.clear();
    reading.UnitText.clear();
    ClearLcd();
    // 5-8
    ApplyDigitRules();
    ApplySecondDisplayRules();
    ApplyAnnunciators();
    sign_ = At(4) == 'D' ? std::string_view("-") : std::string_view();
    Show(E::LcdFH, !sign_.empty());
    // 9
    if (!ApplyFunctionTable())
        return;
    // 10-12
    ApplyPoints();
    if (std::all_of(std::begin(digits_), std::end(digits_), [](std::string_view d) { return d.empty(); })
        || digits_[5] == "A") {
        ShowOverloadDigits();
        result_.secondOverloadApplied = true;
    }
    ShowDigitsAndSecondDisplay();
    // 13-14; step 15 (INDataToTable) is the caller's
    Evaluate();
    SetChartValue();
    result_.decoded = true;
}

void Pass::ClearLcd()
{
    for (E e : kClearedEachPass)
        Set(e, Visibility::Hide);
    for (auto& red : lcd_.terminalRed)
        red = false;
}

void Pass::CopySlots(const int (&positions)[6])
{
    for (int slot = 0; slot < 6; ++slot)
        if (positions[slot] != 0)
            digits_[slot] = CharAt(positions[slot]);
}

void Pass::ApplyDigitRules()
{
    const char function = At(2);
    if (function == 'A') {
        for (const DiodeRule& rule : kDiodeRules) {
            const bool applies = rule.pointPosition == 0
                ? !AnyAt({6, 8, 9, 10, 11}, 'E')
                : At(rule.pointPosition) == 'E' && (rule.pointPosition == 11 || At(11) != 'D');
            if (applies)
                CopySlots(rule.slotPositions);
        }
    } else if (function == '9') {
        if (!AnyPointIn(3, 9))
            CopySlots({5, 6, 7, 8, 9, 0});
    } else {
        // The point marker "E" sits at one of positions 6-11; the six digits are the other
        // positions of 5-11, in order. Later rules overwrite earlier ones.
        for (int point = 6; point <= 11; ++point) {
            if (At(point) != 'E' || At(11) == 'D')
                continue;
            int slot = 0;
            for (int p = 5; p <= 11; ++p)
                if (p != point)
                    digits_[slot++] = CharAt(p);
        }
    }
    if (OverloadMarked())
        ShowOverloadDigits();
}

void Pass::ApplySecondDisplayRules()
{
    for (int point = 13; point <= 15; ++point) {
        if (At(point) != 'E')
            continue;
        int slot = 0;
        for (int p = 12; p <= 16; ++p)
            if (p != point)
                second_[slot++] = CharAt(p);
    }
}

void Pass::ApplyAnnunciators()
{
    const char mode = At(18);
    const int status18 = NibbleValue(mode);
    const int status19 = NibbleValue(At(19));
    const int status20 = NibbleValue(At(20));
    Show(E::LCDHOLD, status18 & 8);
    Show(E::Labmax, mode == '4');
    Show(E::Labmin, mode == '2');
    Show(E::LABAVG, mode == '1');
    Show(E::LABALL, mode == '7');
    Show(E::LCDREL, status19 & 1);
    Show(E::LcdAuto, status19 & 2);
    Show(E::LcdManu, !(status19 & 2));
    Show(E::LABSETUP, status20 & 1);
    Show(E::LABCAL, status20 & 2);
    Show(E::LABSTO, status20 & 4);
    Show(E::LABRCL, status20 & 8);
    Set(E::LCDsend, Visibility::Show);
}

bool Pass::ApplyFunctionTable()
{
    const char function = At(2);
    const FunctionRow* row = FindFunction(function);
    if (row == nullptr)
        return false; // "B"-"F" or not hex at all: not a function code
    if (row->readsRange && !IsDecimalDigit(At(3))) {
        // the caption and unit sign are already up when the range code turns out bad
        SetText(E::LcdDc1, row->caption);
        Set(E::LcdDc1, Visibility::Show);
        Set(row->unitSign, Visibility::Show);
        return false;
    }
    SetText(E::LcdDc1, row->caption);
    Set(E::LcdDc1, Visibility::Show);
    Set(row->unitSign, Visibility::Show);

    range_ = FindRange(function, At(3));
    if (range_ == nullptr)
        return true; // a digit without a row: unit empty, range caption and axis as they were
    if (range_->prefix)
        Set(*range_->prefix, Visibility::Show);
    SetText(E::lcdrange, range_->caption);
    Set(E::lcdrange, Visibility::Show);
    result_.axis = AxisBounds{range_->fullScale, -range_->fullScale};
    result_.reading.UnitText = range_->unitText;
    result_.reading.FunctionText = row->functionText;
    for (std::size_t t = 0; t < kTerminalCount; ++t)
        lcd_.terminalRed[t] = UsesTerminal(*row, static_cast<Terminal>(t));
    return true;
}

void Pass::ApplyPoints()
{
    for (int k = 0; k < 5; ++k) {
        const bool lit = At(6 + k) == 'E';
        points_[k] = lit ? separator_ : std::string_view();
        Show(kMainPoints[k], lit);
    }
    for (int k = 1; k <= 3; ++k) {
        const bool lit = At(12 + k) == 'E';
        secondPoints_[k - 1] = lit ? separator_ : std::string_view();
        Show(kSecondPoints[k - 1], lit);
    }
}

void Pass::ShowDigitsAndSecondDisplay()
{
    for (int i = 0; i < 6; ++i)
        SetText(kDigitLabels[i], digits_[i]);
    for (int i = 0; i < 4; ++i)
        SetText(kSecondLabels[i], second_[i]);
    const bool secondShown = !second_[0].empty();
    Show(E::LCDk, secondShown);
    Show(E::LCDM1, secondShown);
    if (secondShown)
        result_.reading.Unit2Text = "KHz";
    else
        result_.reading.Unit2Text.clear();
}

bool Pass::SignD1D2Is(std::string_view text) const
{
    // compares the joined text Sign D1 D2, wherever the pieces meet
    for (std::string_view piece : {sign_, digits_[1], digits_[2]}) {
        if (text.substr(0, piece.size()) != piece)
            return false;
        text.remove_prefix(piece.size());
    }
    return text.empty();
}

void Pass::BuildValueText(bool withP4)
{
    std::string& text = result_.reading.ValueText;
    text.clear();
    text += sign_;
    text += digits_[0];
    text += points_[0];
    text += digits_[1];
    text += points_[1];
    if (digits_[2] == "@") {
        // overload form: Sign D0 P0 D1 P1 "L" P3 D3 D4 D5
        text += 'L';
        text += points_[3];
        text += digits_[3];
        text += digits_[4];
        text += digits_[5];
        return;
    }
    text += digits_[2];
    text += points_[2];
    text += digits_[3];
    text += points_[3];
    text += digits_[4];
    if (withP4)
        text += points_[4];
    text += digits_[5];
}

double Pass::CountOf(int slotCount) const
{
    if (SignD1D2Is("v@"))
        return FullScaleCount;
    if (SignD1D2Is("-v@"))
        return -FullScaleCount;
    char buffer[40];
    std::size_t length = 0;
    auto append = [&](std::string_view piece) {
        for (char c : piece)
            if (length < sizeof buffer)
                buffer[length++] = c;
    };
    append(sign_);
    for (int i = 0; i < slotCount; ++i)
        append(digits_[i]);
    return CountFromDigitText(std::string_view(buffer, length));
}

void Pass::Evaluate()
{
    Reading& reading = result_.reading;
    const char function = At(2);
    bool positions4To13AllA = true;
    for (int p = 4; p <= 13 && positions4To13AllA; ++p)
        positions4To13AllA = At(p) == 'A';

    if (function != 'A' && function != 'B' && At(5) != 'F' && !positions4To13AllA) { // A
        BuildValueText(true);
        reading.Count = CountOf(6);
        std::string& second = reading.Value2Text;
        second.clear();
        second += second_[0];
        for (int k = 0; k < 3; ++k) {
            second += secondPoints_[k];
            second += second_[k + 1];
        }
    }
    if ((function == 'A' || function == '9') && !AnyPointIn(3, 7)) { // B
        BuildValueText(false);
        reading.Count = CountOf(5);
    }
    if (At(5) == 'F') { // C
        BuildValueText(false);
        reading.Count = CountOf(6);
        if (reading.ValueText.empty())
            reading.ValueText = "1";
    }
}

void Pass::SetChartValue()
{
    Reading& reading = result_.reading;
    const char function = At(2);
    if (function == '6' && OverloadMarked())
        reading.ChartValue = 220.0;
    else if (result_.secondOverloadApplied)
        reading.ChartValue = reading.Count;
    else if (function == 'A')
        reading.ChartValue = SignD1D2Is("v@") ? 10.0 : ScaleByDecimals(reading.Count, 1);
    else if (function == '9')
        reading.ChartValue = SignD1D2Is("v@") ? 700.0 : reading.Count;
    else if (range_ != nullptr)
        reading.ChartValue = ScaleByDecimals(reading.Count, range_->factorDecimals);
    else if (OverloadMarked())
        reading.ChartValue = reading.Count;
    // otherwise the chart value stays as it was
}

void ResetForPass(DecodeResult& result)
{
    result.decoded = false;
    result.axis.reset();
    result.secondOverloadApplied = false;
    result.lcd.visibility.fill(Visibility::Keep);
    for (auto& text : result.lcd.text)
        text.reset();
    for (auto& red : result.lcd.terminalRed)
        red.reset();
}

} // namespace

void DecodeFrameInto(std::string_view frameText, std::string_view decimalSeparator,
                     DecodeResult& result)
{
    ResetForPass(result);
    if (frameText.size() != kFrameLength)
        return;
    Pass(frameText, decimalSeparator, result).Run();
}

DecodeResult DecodeFrame(std::string_view frameText, const Reading& previous,
                         std::string_view decimalSeparator)
{
    DecodeResult result;
    result.reading = previous;
    DecodeFrameInto(frameText, decimalSeparator, result);
    return result;
}

} // namespace varnex

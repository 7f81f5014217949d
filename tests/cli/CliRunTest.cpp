// Runs the varnex-cli executable on generated captures.
#include "cli/CommandTable.h"
#include "cli/NumberText.h"
#include "cli/SampleCommand.h"
#include "protocol/FrameAssembler.h"
#include "protocol/FrameEncoder.h"
#include "protocol/ReadingDecoder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sys/wait.h>

namespace varnex::cli {
namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Every test runs in a process of its own, several at once: the process id keeps their files apart.
std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "varnex_cli_" + std::to_string(::getpid()) + "_" + name;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs "varnex-cli <args>" through the shell; stdinPath, when set, is its standard input.
RunResult RunCli(const std::string& args, const std::string& stdinPath = "")
{
    const std::string outPath = TempPath("stdout");
    const std::string errPath = TempPath("stderr");
    std::string command = std::string("'") + VARNEX_CLI + "' " + args + " >'" + outPath + "' 2>'" + errPath + "'";
    command += stdinPath.empty() ? " </dev/null" : " <'" + stdinPath + "'";
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

// What decode prints, computed in-process by feeding the bytes one at a time.
std::string ExpectedLines(const std::vector<std::uint8_t>& bytes, bool usb, const std::string& separator = ".")
{
    std::string lines;
    ReadingDecoder decoder(separator);
    FrameAssembler assembler([&](const std::string& frame) {
        const DecodeResult& r = decoder.Decode(frame);
        lines += frame;
        if (!r.decoded) {
            lines += "\trejected\n";
            return;
        }
        const Reading& x = r.reading;
        for (const std::string& field : {x.FunctionText, x.ValueText, x.UnitText, x.Value2Text, x.Unit2Text,
                                         WholeNumberText(x.Count), ShortestDoubleText(x.ChartValue)})
            lines += "\t" + field;
        lines += "\n";
    });
    for (std::uint8_t b : bytes) {
        if (usb)
            assembler.AddUsbByte(b);
        else
            assembler.VarnexData(&b, 1);
    }
    return lines;
}

// A long capture of random displays over every function code, with some line noise.
std::vector<std::uint8_t> RandomCapture(bool usb, int frames)
{
    std::mt19937 random(2024);
    const char functions[] = "0123456789ABC";
    std::vector<std::uint8_t> bytes;
    if (!usb) {
        bytes.push_back(0x0D);
        bytes.push_back(0x0A);
    }
    for (int i = 0; i < frames; ++i) {
        DisplayState s;
        s.function = functions[random() % 13];
        s.range = "0123456789AF"[random() % 12];
        s.negative = random() % 4 == 0;
        s.mainDigits.clear();
        for (int d = 0; d < 6; ++d)
            s.mainDigits += static_cast<char>('0' + random() % 10);
        s.mainPoint = static_cast<int>(random() % 6) - 1;
        s.overload = random() % 10 == 0;
        if (random() % 3 == 0) {
            s.secondDigits = "1234";
            s.secondPoint = 1 + static_cast<int>(random() % 3);
        }
        s.status18 = static_cast<std::uint8_t>(random() % 16);
        s.status19 = static_cast<std::uint8_t>(random() % 4);
        s.status20 = static_cast<std::uint8_t>(random() % 16);
        const WireFrame frame = EncodeFrame(s);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        if (!usb && random() % 50 == 0)
            bytes.push_back(0x37); // a stray byte: this frame's successor is lost
    }
    return bytes;
}

TEST(CliDecode, SampleCaptureDecodesAsTheMeterShowsIt)
{
    const std::string capture = TempPath("sample.bin");
    const RunResult sample = RunCli("sample");
    ASSERT_EQ(sample.exitCode, 0);
    {
        std::ofstream file(capture, std::ios::binary);
        file << sample.out;
    }
    const RunResult decoded = RunCli("decode '" + capture + "'");
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.err, "");
    EXPECT_EQ(decoded.out,
              "A0101E23456000000020D\tDCV\t1.23456\tV\t\t\t123456\t1.23456\n"
              "A00D012E340000000020D\tDCV\t-012.340\tmV\t\t\t-12340\t-12.34\n"
              "A630F00E000000000020D\tohm\t0vLd----\tK*\t\t\t22000\t220.0\n"
              "A800005E0000E5000020D\tFRQ\t005.000\tKHz\t0.500\tKHz\t5000\t5.0\n"
              "A1400230E15000000020D\tACV\t0230.15\tV\t\t\t23015\t230.15\n"
              "A310012E345000000830D\tDCI\t012.345\tmA\t\t\t12345\t12.345\n"
              "A7400010E00000000020D\tCAP\t0010.00\tuF\t\t\t1000\t10.0\n"
              "A90000012E0000000020D\tCTN\t00012\t*\t\t\t12\t12.0\n"
              "AA00005E123000000020D\tDIO\t005.12\tV\t\t\t512\t51.2\n"
              "AC000E00000000000020D\trejected\n");
}

TEST(CliDecode, UsbCaptureGivesTheSameReadingsAsSerial)
{
    const std::string serialPath = TempPath("serial.bin");
    const std::string usbPath = TempPath("usb.bin");
    WriteFile(serialPath, SampleCapture(false));
    WriteFile(usbPath, SampleCapture(true));
    const RunResult serial = RunCli("decode '" + serialPath + "'");
    const RunResult usb = RunCli("decode --usb '" + usbPath + "'");
    EXPECT_EQ(usb.exitCode, 0);
    EXPECT_EQ(usb.out, serial.out);
    // the serial capture read as USB is misaligned by its leading CR LF: nothing decodes
    EXPECT_EQ(RunCli("decode --usb '" + serialPath + "'").out, "");
}

TEST(CliDecode, BlockBoundariesDoNotMatter)
{
    const auto bytes = RandomCapture(false, 3000); // about 63 KB: many 4 KB blocks cut frames
    const std::string path = TempPath("random.bin");
    WriteFile(path, bytes);
    const RunResult result = RunCli("decode '" + path + "'");
    EXPECT_EQ(result.exitCode, 0);
    const std::string expected = ExpectedLines(bytes, false);
    EXPECT_EQ(result.out, expected);
    EXPECT_NE(expected.find("rejected"), std::string::npos);
    EXPECT_GT(std::count(expected.begin(), expected.end(), '\n'), 2500);
}

TEST(CliDecode, StandardInputAndUsbByteByByte)
{
    const auto bytes = RandomCapture(true, 500);
    const std::string path = TempPath("random_usb.bin");
    WriteFile(path, bytes);
    const RunResult viaStdin = RunCli("decode --usb", path);
    EXPECT_EQ(viaStdin.exitCode, 0);
    EXPECT_EQ(viaStdin.out, ExpectedLines(bytes, true));
    EXPECT_EQ(RunCli("decode --usb -", path).out, viaStdin.out);
}

TEST(CliDecode, SeparatorGoesIntoTheValueTexts)
{
    const std::string path = TempPath("sep.bin");
    WriteFile(path, SampleCapture(false));
    const RunResult result = RunCli("decode --separator , '" + path + "'");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("\tFRQ\t005,000\tKHz\t0,500\tKHz\t5000\t5.0\n"), std::string::npos);
    EXPECT_EQ(result.out, ExpectedLines(SampleCapture(false), false, ","));
}

struct FailureCase {
    std::string name;
    std::string args;
    int exitCode;
};

class CliFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CliFailures, ExitCodeAndMessage)
{
    const RunResult result = RunCli(GetParam().args);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(result.err.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CliFailures,
                         ::testing::Values(FailureCase{"missingFile", "decode /nonexistent/capture.bin", 2},
                                           FailureCase{"noCommand", "", 2},
                                           FailureCase{"unknownCommand", "frobnicate", 2},
                                           FailureCase{"unknownOption", "decode --fast", 2},
                                           FailureCase{"separatorWithoutValue", "decode --separator", 2},
                                           FailureCase{"sampleExtraArgument", "sample x", 2}),
                         [](const auto& info) { return info.param.name; });

TEST(CliDecode, MissingFileIsOneLine)
{
    const RunResult result = RunCli("decode /nonexistent/capture.bin");
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    EXPECT_NE(result.err.find("/nonexistent/capture.bin"), std::string::npos);
}

TEST(CommandTable, EveryCommandIsFoundByName)
{
    for (const Command* c = CommandsBegin(); c != CommandsEnd(); ++c) {
        EXPECT_EQ(FindCommand(c->name), c);
        EXPECT_EQ(RunCli(c->name + std::string(" --help-not-an-option")).exitCode, kExitUsage) << c->name;
    }
    EXPECT_EQ(FindCommand("nope"), nullptr);
}

} // namespace
} // namespace varnex::cli

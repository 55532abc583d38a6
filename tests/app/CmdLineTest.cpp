#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "app/core/CmdLine.h"
#include "support/TempDir.h"

using namespace gs;
using gstest::TempDir;

namespace {
TCommandLine parse(const std::string& arg) { return ParseCommandLine({arg}); }
}  // namespace

TEST(ParseCommandLine, OpenPrefixSelectsAFileOrElseAFolder) {
    TempDir d;
    std::ofstream(d / "icons.dll") << "x";
    TCommandLine file = parse("/x:" + (d / "icons.dll"));  // the prefix in any case
    EXPECT_EQ(file.Mode, TRunMode::rmFile);
    EXPECT_EQ(file.StartPath, d / "icons.dll");
    TCommandLine folder = parse("/X:" + d.path.string());
    EXPECT_EQ(folder.Mode, TRunMode::rmFolder);
    EXPECT_EQ(folder.StartPath, d.path.string());

    ASSERT_EQ(chdir(d.path.c_str()), 0);
    TCommandLine relative = parse("/X:icons.dll");  // made absolute once it tested as a file
    EXPECT_EQ(relative.StartPath, d / "icons.dll");

    ASSERT_EQ(mkfifo((d / "fifo").c_str(), 0600), 0);
    for (std::string arg : {"/X:" + (d / "fifo"), "/X:" + (d / "missing"), std::string("/X:")}) {
        TCommandLine none = parse(arg);
        EXPECT_EQ(none.Mode, TRunMode::rmNone) << arg;
        EXPECT_EQ(none.StartPath, "") << arg;
        EXPECT_EQ(none.Refusal, "") << arg;  // no message for a path that names nothing
    }
}

TEST(ParseCommandLine, AnythingButOnePrefixedArgumentStartsPlainly) {
    TempDir d;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {d.path.string()}, {"/X:" + d.path.string(), "extra"}, {"/Y:" + d.path.string()}, {"/XBX:a,b"}}) {
        TCommandLine cl = ParseCommandLine(args);
        EXPECT_EQ(cl.Mode, TRunMode::rmNone);
        EXPECT_EQ(cl.StartPath, "");
        EXPECT_EQ(cl.Refusal, "");
    }
}

TEST(ParseCommandLine, BatchArgumentsAndTheirWords) {
    TempDir d;
    const std::string out = d.path.string();
    TCommandLine plain = parse("/XB:/src/*.dll," + out);
    EXPECT_EQ(plain.Mode, TRunMode::rmBatch);
    EXPECT_EQ(plain.StartPath, "");
    EXPECT_EQ(plain.BatchJob.FileSpec, "/src/*.dll");  // kept as given
    EXPECT_EQ(plain.BatchJob.TargetDir, out);
    EXPECT_EQ(plain.BatchJob.Format, TBatchFormat::bfICO);
    EXPECT_EQ(plain.BatchJob.IconSize, TBatchIconSize::bsAll);
    EXPECT_TRUE(plain.BatchJob.Transparent);
    EXPECT_FALSE(plain.BatchJob.Silent);

    TCommandLine silent = parse("/xbs:/src/*.exe," + out + ",gif,32,false");
    EXPECT_EQ(silent.Mode, TRunMode::rmBatch);
    EXPECT_EQ(silent.BatchJob.Format, TBatchFormat::bfGIF);
    EXPECT_EQ(silent.BatchJob.IconSize, TBatchIconSize::bs32);
    EXPECT_FALSE(silent.BatchJob.Transparent);
    EXPECT_TRUE(silent.BatchJob.Silent);

    auto job = [&](const std::string& tail) { return parse("/XB:a," + out + tail).BatchJob; };
    EXPECT_EQ(job(",PNG").Format, TBatchFormat::bfICO);  // unknown words are no error
    EXPECT_EQ(job(",bmp").Format, TBatchFormat::bfBMP);
    EXPECT_EQ(job(",Jpg").Format, TBatchFormat::bfJPG);
    EXPECT_EQ(job(",WMF").Format, TBatchFormat::bfWMF);
    EXPECT_EQ(job(",tif").Format, TBatchFormat::bfTIF);
    EXPECT_EQ(job(",ico,48").IconSize, TBatchIconSize::bs48);
    EXPECT_EQ(job(",ico,16").IconSize, TBatchIconSize::bs16);
    EXPECT_EQ(job(",ico, 16").IconSize, TBatchIconSize::bsAll);  // blanks are not trimmed
    EXPECT_EQ(job(",ico,64").IconSize, TBatchIconSize::bsAll);
    EXPECT_TRUE(job(",ico,16,true").Transparent);
    EXPECT_TRUE(job(",ico,16,TRUE").Transparent);
    EXPECT_FALSE(job(",ico,16,yes").Transparent);
    EXPECT_FALSE(job(",ico,16,true,more").Transparent);  // further commas stay in the word
    EXPECT_TRUE(job(",ico,16").Transparent);
    EXPECT_EQ(job(",,").Format, TBatchFormat::bfICO);
}

TEST(ParseCommandLine, BatchRefusalsCarryTheirMessages) {
    TempDir d;
    const std::string out = d.path.string();
    EXPECT_EQ(parse("/XB:/src/*.exe").Refusal, "Target dir missing in command line argument.");
    EXPECT_EQ(parse("/XB:," + out).Refusal, "File spec missing in command line argument.");
    EXPECT_EQ(parse("/XB:/src/*.exe,").Refusal, "Target dir missing in command line argument.");
    EXPECT_EQ(parse("/XB:/src/*.exe,,gif").Refusal, "Target dir missing in command line argument.");
    EXPECT_EQ(parse("/XBS:/src/*.exe," + out + "/missing").Refusal, "Invalid target dir in command line argument.");
    std::ofstream(d / "file") << "x";
    EXPECT_EQ(parse("/XB:a," + (d / "file")).Refusal, "Invalid target dir in command line argument.");
    TCommandLine refused = parse("/XB:," + out);
    EXPECT_EQ(refused.Mode, TRunMode::rmNone);
    EXPECT_EQ(refused.BatchJob.FileSpec, "");
}

TEST(ParseCommandLine, AsksTheFileSystemOnlyThroughItsTests) {
    TPathTests table{[](const std::string& p) { return p == "C:\\x.ico"; },
                    [](const std::string& p) { return p == "D:\\Icons"; }};
    EXPECT_EQ(ParseCommandLine({"/X:C:\\x.ico"}, table).Mode, TRunMode::rmFile);
    EXPECT_EQ(ParseCommandLine({"/X:D:\\Icons"}, table).Mode, TRunMode::rmFolder);
    EXPECT_EQ(ParseCommandLine({"/XB:D:\\src\\*.dll,D:\\Icons"}, table).BatchJob.TargetDir, "D:\\Icons");
}

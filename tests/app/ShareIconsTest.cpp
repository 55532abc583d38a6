// Icon libraries and mail, headless: libraries as wrestool lists them, and a fake
// xdg-email on PATH.
#include <cstdlib>

#include "app/SaveMaterial.h"
#include "app/core/AppIdentity.h"
#include "app/core/ShareIcons.h"
#include "app/core/ShareJobs.h"
#include "app/Raised.h"
#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"
#include "iconlib/IconLibrary.h"
#include "platform/PrivateTemp.h"

using namespace gs;
using namespace gstest;

namespace {

std::vector<std::string> libraryNames(const std::filesystem::path& file) {
    TQBIconLibrary lib;
    EXPECT_EQ(lib.Read(file).Result, TLoadResult::Read);
    std::vector<std::string> names;
    for (int i = 0; i < lib.Icons.Count(); ++i) names.push_back(lib.Icons.Name(i));
    return names;
}

// PATH set for one test: a folder with a fake xdg-email in front, or no xdg-email at all; the fake records its arguments
// one per line.
struct FakeMailer : Tree {
    std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::filesystem::path log = path / "args";
    explicit FakeMailer(bool present, int status = 0) {
        const auto bin = dir("bin");
        if (present) {
            const auto script = bin / "xdg-email";
            writeFile(script.string(), TBytes{});
            std::FILE* f = std::fopen(script.c_str(), "w");
            std::fprintf(f, "#!/bin/sh\nfor a in \"$@\"; do printf '%%s\\n' \"$a\"; done > '%s'\nexit %d\n", log.c_str(), status);
            std::fclose(f);
            std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        }
        // Without the fake, nothing else on PATH may answer to the name either.
        setenv("PATH", present ? (bin.string() + ":" + saved).c_str() : bin.c_str(), 1);
    }
    ~FakeMailer() { setenv("PATH", saved.c_str(), 1); }
    std::vector<std::string> args() const {
        std::vector<std::string> out;
        const TBytes bytes = fileBytes(log);
        const std::string all(bytes.begin(), bytes.end());
        for (std::size_t at = 0, nl; (nl = all.find('\n', at)) != std::string::npos; at = nl + 1) out.push_back(all.substr(at, nl - at));
        return out;
    }
};

}  // namespace

TEST(IconLibraries, ANewLibraryGrowsKeepingItsIconsAndAnUnreadableFileIsLeftAlone) {
    if (!haveCommand("wrestool")) GTEST_SKIP() << "icoutils not installed";
    Tree t;
    const auto module = t.put("m.dll", peWithGroups(5, 3));
    Listed first(module, {"a", "b", "c"});
    Listed more(module, {"d", "e"});
    const auto lib = t.path / "new.icl";
    CreateIconLibrary(lib, first.defs);
    EXPECT_EQ(runTool("wrestool -l --type=14 " + q(lib) + " | wc -l").out, "3\n");
    AddToIconLibrary(lib, more.defs);
    EXPECT_EQ(runTool("wrestool -l --type=14 " + q(lib) + " | wc -l").out, "5\n");
    EXPECT_EQ(libraryNames(lib), (std::vector<std::string>{"Icon 1", "Icon 2", "Icon 3", "Icon 4", "Icon 5"}));
    // The definitions still own their icons after both writes.
    EXPECT_TRUE(first.defs[0]->Loaded());
    EXPECT_EQ(first.defs[0]->GetIcon().Images().Count(), 2);

    const TBytes png = makePngImage(patternPicture(8, 8, 1));
    const auto fake = t.put("x.icl", png);
    const EQBException e = raised([&] { AddToIconLibrary(fake, more.defs); });
    EXPECT_STREQ(e.what(), "Unable to add icon to Icon Library.");
    EXPECT_NE(e.Details().find("is not an icon library"), std::string::npos) << e.Details();
    EXPECT_EQ(fileBytes(fake), png);
    // An empty file becomes a library of the icons.
    const auto empty = t.put("empty.icl", TBytes{});
    AddToIconLibrary(empty, more.defs);
    EXPECT_EQ(libraryNames(empty).size(), 2u);
    EXPECT_STREQ(raised([&] { CreateIconLibrary(t.path / "none.icl", {}); }).what(), "Unable to create Icon Library.");

    for (const char* good : {"a.icl", "/x/b.ICL", "c.Icl"}) EXPECT_NO_THROW(CheckLibraryName(good)) << good;
    for (const char* bad : {"a.ico", "icl", "a.icl.bak"}) {
        const EQBException r = raised([&] { CheckLibraryName(bad); });
        EXPECT_STREQ(r.what(), "Invalid Icon Library.");
        EXPECT_EQ(r.Details(), "Icon Libraries must have the .icl extension.");
    }
}

TEST(SendIconsByMail, AFakeComposerGetsTheSubjectAndOneAttachmentPerWrittenIcon) {
    Tree t;
    const auto module = t.put("m.dll", peWithGroups(3, 9));
    const auto only16 = t.put("s.ico", makeIcoFile({dibSpec(16, 4, 2)}));
    Listed listed(module, {"same", "same", "../x"});
    Listed small(only16, {"small"});
    listed.defs.push_back(small.defs[0]);
    const auto app = makeApplicationDescriptor("/opt/glyphscope/glyphscope");
    TKAVUOptions options;
    options.SaveAllSizes = false;  // the 32 x 32 images: the 16-only icon writes nothing
    FakeMailer mailer(true);
    TQBMapi mapi;
    int successes = 0;
    mapi.OnSuccess = [&](TQBMapi&) { ++successes; };
    SendIconsByMail(listed.defs, options, *app, mapi);
    EXPECT_EQ(successes, 1);
    const std::vector<std::string> args = mailer.args();
    std::vector<std::string> attached;
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--attach") attached.push_back(std::filesystem::path(args[i + 1]).filename().string());
    EXPECT_EQ(attached, (std::vector<std::string>{"same.ico", "same (2).ico", ".._x.ico"}));
    const auto subject = std::find(args.begin(), args.end(), "--subject");
    ASSERT_NE(subject, args.end());
    EXPECT_EQ(subject[1], app->Title + " " + app->VersionText);
    EXPECT_EQ(mapi.DisplayFileName.size(), 4u);
    // Written into a folder of this mail's own inside the hand-over folder, 0700, apart from
    // the program's scratch files.
    const std::filesystem::path first = mapi.AttachedFiles[0];
    EXPECT_EQ(first.parent_path().parent_path(), HandOverFolder());
    EXPECT_NE(HandOverFolder(), PrivateTempFolder());
    EXPECT_EQ(std::filesystem::status(HandOverFolder()).permissions(), std::filesystem::perms::owner_all);
    EXPECT_EQ(iconImages(q(first)), "32x32 8\n");
    // A second mail gets a folder of its own: the first mail's files stay as they were.
    TQBMapi again;
    SendIconsByMail({listed.defs[0]}, options, *app, again);
    ASSERT_EQ(again.AttachedFiles.size(), 1u);
    EXPECT_NE(std::filesystem::path(again.AttachedFiles[0]).parent_path(), first.parent_path());
    EXPECT_TRUE(std::filesystem::exists(first));
    std::filesystem::remove_all(HandOverFolder());  // it outlives the program: tidy up here
}

// No composer (none on PATH, or xdg-email finding no mail program): the user is told why,
// with the words Send Email uses; a real mail error stays the composer's to show.
TEST(SendIconsByMail, NoMailSystemIsToldAsSendEmailTellsIt) {
    Tree t;
    Listed listed(t.put("a.ico", makeIcoFile({dibSpec(32, 8, 1)})), {"a"});
    const auto app = makeApplicationDescriptor("/opt/glyphscope/glyphscope");
    for (const auto& [present, status] : {std::pair{false, 0}, std::pair{true, 3}}) {
        FakeMailer mailer(present, status);
        TQBMapi mapi;
        const EQBException r = raised([&] { SendIconsByMail(listed.defs, TKAVUOptions{}, *app, mapi); });
        EXPECT_STREQ(r.what(), "There was error while composing the email message.");
        EXPECT_EQ(r.Details(), kMsgMailSystemMissing);
        EXPECT_EQ(r.Severity(), TQBSeverity::Warning);
    }
    FakeMailer failing(true, 4);
    TQBMapi mapi;
    EXPECT_NO_THROW(SendIconsByMail(listed.defs, TKAVUOptions{}, *app, mapi));
    std::filesystem::remove_all(HandOverFolder());
}

TEST(TQBMapi, OutcomesReachTheirEventsAndOnlyExistingFilesAreAttached) {
    struct Row {
        bool present;
        int status;
        const char* event;
    };
    for (const Row& row : {Row{true, 0, "success"}, Row{false, 0, "abort"}, Row{true, 3, "abort"}, Row{true, 4, "error 2"}}) {
        FakeMailer mailer(row.present, row.status);
        TQBMapi mapi;
        std::string seen;
        mapi.OnSuccess = [&](TQBMapi&) { seen = "success"; };
        mapi.OnUserAbort = [&](TQBMapi&) { seen = "abort"; };
        mapi.OnMapiError = [&](TQBMapi&, int code) { seen = "error " + std::to_string(code); };
        mapi.SetRecipients({"bare name"});
        mapi.SetCopyTo({"cc@x"});
        mapi.SetAttachedFiles({"/no/such/a.ico"});
        mapi.Send();
        EXPECT_EQ(seen, row.event);
        EXPECT_EQ(mapi.DisplayFileName, std::vector<std::string>{"a.ico"});
        EXPECT_EQ(mapi.MailArguments(), (std::vector<std::string>{"xdg-email", "--utf8", "--cc", "cc@x", "bare name"}));
    }
    EXPECT_EQ(TQBMapi::ResultCode({TChildEnd::StillRunning, -1}), kMapiSuccess);
}

TEST(ShareJobs, TheMailsOutcomeWaitsForTheReceiverAndALibraryFailureEndsTheJobWithItsMessage) {
    Tree t;
    Listed listed(t.put("m.dll", peWithGroups(1, 9)), {"a"});
    const auto app = makeApplicationDescriptor("/opt/glyphscope/glyphscope");
    FakeMailer mailer(true, 4);
    TQBMapi mapi;
    std::string seen;
    mapi.OnMapiError = [&](TQBMapi&, int code) { seen = "error " + std::to_string(code); };
    TMailIconsJob mail(listed.defs, TKAVUOptions(), *app, std::move(mapi));
    TJobContext context(nullptr, {});
    EXPECT_EQ(RunJob(mail, context).Kind, TJobEnd::TKind::Done);
    EXPECT_EQ(seen, "");  // the worker only notes the outcome
    const std::vector<std::string> args = mailer.args();
    EXPECT_EQ(std::count(args.begin(), args.end(), "--attach"), 1);
    mail.DeliverOutcome();
    EXPECT_EQ(seen, "error 2");
    std::filesystem::remove_all(HandOverFolder());

    TIconLibraryJob empty(TIconLibraryJob::TWay::Create, t.path / "none.icl", {});
    const TJobEnd end = RunJob(empty, context);
    EXPECT_EQ(end.Kind, TJobEnd::TKind::Failed);
    EXPECT_EQ(end.Reason, "Unable to create Icon Library.");
    EXPECT_FALSE(std::filesystem::exists(t.path / "none.icl"));
}

TEST(ShareJobs, AStopEndsTheWaitForAProgramAndLeavesItRunning) {
    Tree t;
    const std::string hold = (t.path / "hold").string();
    writeFile(hold, TBytes{});
    std::stop_source stop;
    stop.request_stop();
    // The program runs while the file is there (until the tree goes); without the stop the
    // wait would last the hour.
    const TChildResult run = RunBounded({"sh", "-c", "while [ -e \"$0\" ]; do sleep 0.05; done", hold},
                                        std::chrono::hours(1), stop.get_token());
    EXPECT_EQ(run.End, TChildEnd::StillRunning);
}

// Saved progress: its text, where it lives, what a bad or unwritable file
// does, an atomic save that a kill cannot tear, and where a campaign starts.
#include "core/scratchFolder.h"
#include "core/userFiles.h"
#include "game/campaign.h"
#include "game/progress.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

TEST(ProgressText, ReadsBackWhatItWritesAndRefusesAnythingElse) {
    Progress progress;
    recordWin(progress, "01-first-room.level", 20);
    recordWin(progress, "01-first-room.level", 17);
    recordWin(progress, "01-first-room.level", 19);
    recordWin(progress, "my level 2.level", 9);
    EXPECT_EQ(progress["01-first-room.level"], (LevelRecord{true, 17})) << "the best stays";
    const std::string text = formatProgress(progress);
    EXPECT_EQ(text, "cellquest progress 1\nsolved 17 01-first-room.level\n"
                    "solved 9 my level 2.level\n");
    EXPECT_EQ(parseProgress(text), progress);
    EXPECT_EQ(parseProgress("cellquest progress 1\n"), Progress{});

    for (const char* corrupt : {
             "",
             "cellquest progress 2\n",
             "cellquest progress 1\nsolved 17 a.level",       // cut short
             "cellquest progress 1\nsolved 17 a.level\nsolv", // cut short
             "cellquest progress 1\nsolved -1 a.level\n",
             "cellquest progress 1\nsolved 017 a.level\n",
             "cellquest progress 1\nsolved 99999999999 a.level\n",
             "cellquest progress 1\nsolved 17\n",
             "cellquest progress 1\nsolved 17 \n",
             "cellquest progress 1\nsolved 17 a/b.level\n",
             "cellquest progress 1\nsolved 3 a.level\nsolved 4 a.level\n",
             "cellquest progress 1\nwon 3 a.level\n",
             "\x89PNG\r\n\x1a\n",
         }) {
        EXPECT_FALSE(parseProgress(corrupt)) << corrupt;
    }
}

TEST(ProgressText, LivesInTheDataHome) {
    EXPECT_EQ(progressPath("/data", "/home/p"), "/data/cellquest/progress");
    EXPECT_EQ(progressPath("", "/home/p"), "/home/p/.local/share/cellquest/progress");
    EXPECT_EQ(progressPath(nullptr, "/home/p"), "/home/p/.local/share/cellquest/progress");
    EXPECT_EQ(progressPath("relative", "/home/p"), "/home/p/.local/share/cellquest/progress");
    EXPECT_EQ(progressPath(nullptr, nullptr), "");
}

TEST(ProgressFile, MissingCorruptAndUnwritableFilesNeverStopPlay) {
    const ScratchFolder scratch("cellquestProgress.");
    const std::string path = scratch.path("data/cellquest/progress");
    std::ostringstream errors;
    ProgressFile file(path, errors);
    EXPECT_EQ(file.load(), Progress{}) << "missing: nothing solved";
    EXPECT_EQ(errors.str(), "");

    Progress progress;
    recordWin(progress, "a.level", 5);
    file.save(progress);
    EXPECT_EQ(ProgressFile(path, errors).load(), progress) << "the folders were made";

    scratch.write("data/cellquest/progress", "cellquest progress 1\nsolved x a.level\n");
    EXPECT_EQ(ProgressFile(path, errors).load(), Progress{});
    const std::string aside = scratch.path("data/cellquest/progress.corrupt");
    EXPECT_EQ(errors.str(), "cellquest: the progress file " + path + " is corrupt; kept as " +
                                aside + ", starting from the first level\n");
    EXPECT_EQ(readFile(aside), "cellquest progress 1\nsolved x a.level\n");
    EXPECT_FALSE(exists(path));

    // A file where the folder should be: no one can write there, root
    // included. One line, however many wins follow.
    errors.str("");
    const std::string notAFolder = scratch.write("plain", "");
    ProgressFile unwritable(notAFolder + "/cellquest/progress", errors);
    unwritable.save(progress);
    unwritable.save(progress);
    EXPECT_FALSE(unwritable.saving());
    const std::string lines = errors.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    // A folder where the file should be: unreadable, and saving fails too.
    errors.str("");
    const std::string folderPath = scratch.path("folder/progress");
    ASSERT_EQ(mkdir(scratch.path("folder").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(folderPath.c_str(), 0755), 0);
    ProgressFile blocked(folderPath, errors);
    EXPECT_EQ(blocked.load(), Progress{});
    EXPECT_NE(errors.str().find(folderPath + " cannot be read"), std::string::npos) << errors.str();
}

TEST(ProgressFile, EachCorruptFileIsKeptUnderAFreeName) {
    const ScratchFolder scratch("cellquestProgress.");
    const std::string path = scratch.path("progress");
    scratch.write("progress.corrupt.2", "kept before");
    for (const char* bad : {"first\n", "second\n", "third\n"}) {
        scratch.write("progress", bad);
        std::ostringstream errors;
        EXPECT_EQ(ProgressFile(path, errors).load(), Progress{});
        EXPECT_NE(errors.str().find(" is corrupt; kept as "), std::string::npos) << errors.str();
    }
    const struct {
        const char* name;
        const char* text;
    } kept[] = {
        {"progress.corrupt", "first\n"},
        {"progress.corrupt.1", "second\n"},
        {"progress.corrupt.2", "kept before"},
        {"progress.corrupt.3", "third\n"},
    };
    for (const auto& file : kept) {
        EXPECT_EQ(readFile(scratch.path(file.name)), file.text) << file.name;
    }
}

// Temporary files of saves killed mid-write go at the next start once they
// are ten minutes old; nothing else in the folder is touched.
TEST(ProgressFile, OldTemporaryFilesOfKilledSavesAreRemoved) {
    const ScratchFolder scratch("cellquestProgress.");
    const struct {
        const char* name;
        int ageMinutes;
        bool removed;
    } cases[] = {
        {"progress.a1B2c3", 11, true},     {"progress.ZZZZZZ", 600, true},
        {"progress.a1B2c3x", 60, false},   {"progress.a1B2c", 60, false},
        {"progress.a1-2c3", 60, false},    {"progress.corrupt", 60, false},
        {"progress.corrupt.1", 60, false}, {"saved.a1B2c3", 60, false},
        {"xprogress.a1B2c3", 60, false},   {"progress.q9Q9q9", 9, false},
        {"progress", 60, false},
    };
    const time_t now = time(nullptr);
    for (const auto& c : cases) {
        const std::string file = scratch.write(c.name, "cellquest progress 1\n");
        const struct utimbuf times { now - c.ageMinutes * 60, now - c.ageMinutes * 60 };
        ASSERT_EQ(utime(file.c_str(), &times), 0) << c.name;
    }
    ASSERT_EQ(mkdir(scratch.path("progress.Folder").c_str(), 0755), 0);
    const struct utimbuf old { now - 3600, now - 3600 };
    ASSERT_EQ(utime(scratch.path("progress.Folder").c_str(), &old), 0);

    std::ostringstream errors;
    ProgressFile file(scratch.path("progress"), errors);
    for (const auto& c : cases) {
        EXPECT_EQ(exists(scratch.path(c.name)), !c.removed) << c.name;
    }
    EXPECT_TRUE(exists(scratch.path("progress.Folder"))) << "only files go";
    EXPECT_EQ(errors.str(), "");
}

// A child saves two different progress files in turn, as fast as it can,
// and is killed at random moments: the file is always one of the two whole.
TEST(ProgressFile, AKillDuringASaveLeavesTheOldOrTheNewFile) {
    const ScratchFolder scratch("cellquestProgress.");
    const std::string path = scratch.path("progress");
    Progress first;
    Progress second;
    for (int i = 0; i < 3000; ++i) {
        recordWin(first, "level-" + std::to_string(i) + ".level", i);
        recordWin(second, "level-" + std::to_string(i) + ".level", i + 1);
    }
    ASSERT_EQ(writeFileAtomically(path, formatProgress(first)), "");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 4000);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int save = 0;; ++save) {
                writeFileAtomically(path, formatProgress(save % 2 ? first : second));
            }
        }
        usleep(static_cast<useconds_t>(pause(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::optional<Progress> left = parseProgress(readFile(path));
        ASSERT_TRUE(left) << "round " << round;
        EXPECT_TRUE(*left == first || *left == second);
    }
}

TEST(Campaign, StartsAtTheFirstLevelNotYetSolved) {
    std::vector<CampaignLevel> levels;
    for (const char* name : {"a.level", "b.level", "c.level"}) {
        levels.push_back(CampaignLevel{name, LevelFile{}});
    }
    const struct {
        std::vector<std::string> solved;
        std::size_t first;
    } cases[] = {
        {{}, 0},
        {{"a.level"}, 1},
        {{"a.level", "c.level"}, 1},
        {{"b.level"}, 0},
        {{"a.level", "b.level"}, 2},
        {{"a.level", "b.level", "c.level"}, 0},
        {{"z.level"}, 0},
    };
    for (const auto& c : cases) {
        Progress progress;
        for (const std::string& name : c.solved) {
            recordWin(progress, name, 3);
        }
        EXPECT_EQ(firstUnsolved(levels, progress), c.first) << ::testing::PrintToString(c.solved);
    }
    Campaign campaign(levels, 1);
    EXPECT_EQ(campaign.heading().number, 2);
    EXPECT_EQ(campaign.heading().count, 3);
    EXPECT_TRUE(campaign.advance());
    EXPECT_FALSE(campaign.advance());
    EXPECT_EQ(campaign.current().name, "c.level");
}

} // namespace

#include "DataFiles.hpp"
#include "Logger.hpp"
#include "TempFolder.hpp"

#include "GSException.hpp"
#include "HostText.hpp"

#include <gtest/gtest.h>

namespace {

using Velmar::Testing::ReadFile;
using Velmar::Testing::TempFolder;

class DataFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        IO::fileSystem.SetSpecialLocation(Velmar::UserDataFolder, IO::Location(HostText::Uni(root_ / "user")));
        IO::fileSystem.SetSpecialLocation(Velmar::SharedDataFolder, IO::Location(HostText::Uni(root_ / "shared")));
        std::filesystem::create_directories(root_ / "user");
        std::filesystem::create_directories(root_ / "shared");
    }

    TempFolder root_;
};

// An unknown special folder gives an empty location; a file in the place of a folder on the way is an error.
TEST_F(DataFiles, ResolvesUnderTheSpecialFolderCreatingTheFoldersOnTheWay)
{
    std::filesystem::create_directories(root_ / "shared/Velmar");
    for (const char* inTheWay : {"user/blocked", "shared/Velmar/stuck"})
        Velmar::Testing::WriteFile(root_ / inTheWay, "in the way");
    struct Case {
        IO::FileSystem::SpecialFolderId folder;
        const char* relative;
        const char* expected;  // relative to the data root, or the error's message
    };
    const Case cases[] = {
        {5, "/velmar/archicad/log.txt", "user/velmar/archicad/log.txt"},
        {10, "Velmar/Archicad/PropertyMapping.28.json", "shared/Velmar/Archicad/PropertyMapping.28.json"},
        {10, "/Velmar/Archicad/PropertyMapping.28.json", "shared/Velmar/Archicad/PropertyMapping.28.json"},
        {5, "a//b///c.txt", "user/a/b/c.txt"},
        {5, "plain.txt", "user/plain.txt"},
        {5, "/blocked/archicad/log.txt", "Failed to ensure directory blocked"},
        {10, "Velmar/stuck/x.json", "Failed to ensure directory stuck"},
    };
    for (const auto& c : cases) {
        try {
            const IO::Location location = Velmar::ResolveDataFile(c.folder, c.relative);
            EXPECT_EQ(location.ToNativePath(), root_ / c.expected) << c.relative;
            const auto parent = std::filesystem::path(location.ToNativePath()).parent_path();
            EXPECT_TRUE(std::filesystem::is_directory(parent)) << parent;
            EXPECT_FALSE(std::filesystem::exists(location.ToNativePath())) << "the file itself is not created";
        } catch (const GS::GeneralException& error) {
            EXPECT_EQ(HostText::Utf8(error.GetMessage()), c.expected);
            EXPECT_EQ(error.GetID(), Velmar::EnsureDirectoryFailed);
        }
    }
    EXPECT_TRUE(Velmar::ResolveDataFile(7, "/velmar/archicad/log.txt").IsEmpty());
}

TEST_F(DataFiles, LogAppendsUtf8LinesEndedByCrLfAndRecreatesWhatWasDeleted)
{
    const auto log = Velmar::Services::logger::instance();
    EXPECT_EQ(log, Velmar::Services::logger::instance());
    const std::string file = root_ / "user/velmar/archicad/log.txt";

    log->log("inserting LODs");
    log->log(HostText::Uni("Réglages — Vérifier"));
    log->log("");
    EXPECT_EQ(ReadFile(file), "inserting LODs\r\nR\xC3\xA9glages \xE2\x80\x94 V\xC3\xA9rifier\r\n\r\n");

    std::filesystem::remove_all(root_ / "user/velmar");
    log->log("Modules flushed");
    EXPECT_EQ(ReadFile(file), "Modules flushed\r\n");
}

}  // namespace

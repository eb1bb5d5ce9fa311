// platform_logic_test.cpp: filter conversion, the recently-used list in the settings, and the command strings.
#include "map_document.hpp"
#include "shell/commands.hpp"
#include "shell/platform.hpp"
#include "shell/recent_files.hpp"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct FilterCase {
    const char* bars;
    QStringList expected;
};

TEST(FilterTest, BarListsBecomeQtFiltersInOrder)
{
    const FilterCase cases[] = {
        { OpenFileFilter(CpuNone), { "xqa file(*.xqa)", "xqe file(*.xqe)", "abs file(*.abs)", "x file(*.x)" } },
        { OpenFileFilter(CpuGrus), { "abs file(*.abs)", "x file(*.x)", "xqa file(*.xqa)", "xqe file(*.xqe)" } },
        { OpenFileFilter(CpuEridan), { "xqe file(*.xqe)", "xqa file(*.xqa)", "abs file(*.abs)", "x file(*.x)" } },
        // Descriptions without their patterns get them; ';' separates patterns.
        { "Objects|*.o;*.obj|All|*||", { "Objects (*.o *.obj)", "All (*)" } },
        // The double bar ends the list; anything after it is not a filter.
        { "A(*.a)|*.a||B|*.b|", { "A(*.a)" } },
        { "", {} },
        { "||", {} },
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.bars);
        EXPECT_EQ(nameFiltersFromBars(QString::fromLatin1(c.bars)), c.expected);
    }
}

class RecentFilesTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString iniPath() const { return m_dir.filePath("settings.ini"); }
};

TEST_F(RecentFilesTest, KeepsFourMostRecentFirstWithoutDuplicates)
{
    RecentFileList list;
    for (const char* path : { "/a", "/b", "/c", "/b", "/d", "/e" })
        list.add(path);
    EXPECT_EQ(list.files(), (QStringList { "/e", "/d", "/b", "/c" }));
}

TEST_F(RecentFilesTest, SavesAndLoadsUnderItsGroup)
{
    {
        QSettings settings(iniPath(), QSettings::IniFormat);
        RecentFileList list;
        list.add("/one.abs");
        list.add("/two.xqe");
        list.save(settings);
    }
    {
        QSettings settings(iniPath(), QSettings::IniFormat);
        EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/two.xqe");
        EXPECT_EQ(settings.value("Recent File List/File2").toString(), "/one.abs");
        EXPECT_FALSE(settings.contains("Recent File List/File3"));
        RecentFileList list;
        list.load(settings);
        EXPECT_EQ(list.files(), (QStringList { "/two.xqe", "/one.abs" }));
    }
}

TEST_F(RecentFilesTest, ShorterListRemovesStaleKeys)
{
    QSettings settings(iniPath(), QSettings::IniFormat);
    settings.setValue("Recent File List/File4", "/stale");
    RecentFileList list;
    list.add("/only");
    list.save(settings);
    EXPECT_FALSE(settings.contains("Recent File List/File4"));
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/only");
}

struct TextCase {
    int id;
    const char* prompt;
    const char* tip;
};

TEST(CommandTextTest, ToolBarStringsAreExact)
{
    const TextCase cases[] = {
        { ID_FILE_OPEN, "Open an Existing Document", "Open" },
        { ID_SECTION_LIST_IMAGE, "Change Section List Image", "Section List Image" },
        { ID_MEMORY_SIZE_IMAGE, "Change Memory Size Image", "Memory Size Image" },
        { ID_ZOOM_IN, "Zoom In", "Zoom In" },
        { ID_ZOOM_OUT, "Zoom Out", "Zoom Out" },
        { ID_FIND_TOOL, "Open Find Dialog", "Find" },
        { ID_FIND_MENU, "Open Find Dialog", "Find" },
        { ID_APP_ABOUT, "Version Information", "Version" },
        { ID_SHOW_LOCAL_INFORMATION, "Show or hide Local Information List", "" },
        { ID_SHOW_FUNCTION_LIST, "Show or hide C Function List", "" },
        { ID_SHOW_EQU_LIST, "Show or hide .EQU List", "" },
        { 12345, "", "" },
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.id);
        const CommandText text = commandText(c.id);
        EXPECT_STREQ(text.prompt, c.prompt);
        EXPECT_STREQ(text.tip, c.tip);
    }
}

} // namespace
} // namespace tessaly

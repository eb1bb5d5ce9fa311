// abi_test.cpp: the shared library exports exactly the 22 IE_ functions, with C linkage.
#include "orvik.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>

namespace {

// On Windows the build itself checks orvik.dll's export table (cmake/CheckDllExports.cmake).
#ifndef _WIN32
std::set<std::string> dynamicSymbols()
{
    const std::string command = std::string(ORVIK_NM) + " -D --defined-only " + ORVIK_LIBRARY_PATH;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::set<std::string> names;
    if (!pipe)
        return names;
    std::array<char, 512> line {};
    while (std::fgets(line.data(), line.size(), pipe.get())) {
        std::string text(line.data());
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        const auto space = text.rfind(' ');
        names.insert(space == std::string::npos ? text : text.substr(space + 1));
    }
    return names;
}

TEST(Abi, ExportsExactlyTheIeFunctions)
{
    const std::set<std::string> expected = {
        "IE_readIEEE",
        "IE_readError",
        "IE_freeIEEE",
        "IE_getRoot",
        "IE_getModMode",
        "IE_getSecMode",
        "IE_getSymMode",
        "IE_getModSecMode",
        "IE_getModSymFi",
        "IE_getSrcSrcMode",
        "IE_getFnDefMode",
        "IE_getVaDefMode",
        "IE_getModName",
        "IE_getSecName",
        "IE_getSymName",
        "IE_getSrcSrcMod",
        "IE_getFnDef",
        "IE_getVaDef",
        "IE_getModSecFpi",
        "IE_getModSymFpi",
        "IE_getModSecFip",
        "IE_getModSecFp",
    };
    ASSERT_EQ(expected.size(), 22u);
    EXPECT_EQ(dynamicSymbols(), expected);
}
#endif

TEST(Abi, EmptyTreeBeforeAnyRead)
{
    IeRoot* root = IE_getRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->modules, nullptr);
    EXPECT_EQ(root->sections, nullptr);
    EXPECT_EQ(root->symbols, nullptr);
    EXPECT_EQ(IE_getModMode(1), nullptr);
    EXPECT_EQ(IE_getFnDefMode("main", 1), nullptr);
    EXPECT_EQ(IE_freeIEEE(), 0);
    EXPECT_EQ(IE_getRoot(), root) << "the root never moves";
}

} // namespace

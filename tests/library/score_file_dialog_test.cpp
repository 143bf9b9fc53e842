// The open dialog's result buffer as paths, for one file and for several.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/score_file_dialog.h"

namespace {
struct ChosenCase {
    const char* what;
    std::wstring buffer;  // as the dialog fills it, zeros included
    size_t size;          // what the reader may look at; 0: the whole buffer
    std::vector<std::wstring> paths;
};
}  // namespace

TEST(ScoreFileDialog, TheResultBufferBecomesFullPaths) {
    using std::wstring;
    const wstring z(1, L'\0');
    const ChosenCase cases[] = {
        {"one file", L"C:\\m\\Moon.zyqn" + z + z, 0, {L"C:\\m\\Moon.zyqn"}},
        {"a folder and two names", L"C:\\m" + z + L"Moon.zyqn" + z + L"Sun.zyqn" + z + z, 0,
         {L"C:\\m\\Moon.zyqn", L"C:\\m\\Sun.zyqn"}},
        {"two names in a drive's root", L"C:\\" + z + L"a.zyqn" + z + L"b.zyqn" + z + z, 0,
         {L"C:\\a.zyqn", L"C:\\b.zyqn"}},
        {"nothing", z + z, 0, {}},
        // A buffer filled to its end without a closing zero is not read past.
        {"no closing zero", L"C:\\m\\Moon.zyqn", 14, {L"C:\\m\\Moon.zyqn"}},
        {"a name cut at the end", L"C:\\m" + z + L"Moon.zyqn" + z + L"Sun.zy", 0,
         {L"C:\\m\\Moon.zyqn", L"C:\\m\\Sun.zy"}},
    };
    for (const ChosenCase& c : cases) {
        size_t size = c.size ? c.size : c.buffer.size();
        ASSERT_LE(size, c.buffer.size()) << c.what;
        // A copy exactly size long, so that a read past it is a read past the block.
        std::vector<wchar_t> block(c.buffer.begin(), c.buffer.begin() + size);
        EXPECT_EQ(ChosenFiles(block.data(), block.size()), c.paths) << c.what;
    }
}

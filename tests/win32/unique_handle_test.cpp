// The RAII owner of Win32 handles: each kind knows its own empty value. A file
// handle is empty as INVALID_HANDLE_VALUE, which CreateFile gives on failure;
// an event or mutex is empty as null.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "tests/win32/vt_harness.h"

namespace vt {
namespace {

HANDLE OpenAlone(const std::wstring& file) {
    return CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(UniqueHandles, FilesAreEmptyWhenCreateFileFailsAndClosedWhenReset) {
    harness::TempDir dir("vt-handle-");
    const std::wstring file = (dir.Path() / "held.txt").wstring();
    UniqueFile none;
    EXPECT_FALSE(none);
    UniqueFile missing(OpenAlone((dir.Path() / "missing.txt").wstring()));
    EXPECT_FALSE(missing) << "a failed CreateFile looks like an open file";

    UniqueFile made(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(made);
    made.reset();
    UniqueFile held(OpenAlone(file));
    ASSERT_TRUE(held) << "the first owner did not close the file";
    EXPECT_EQ(OpenAlone(file), INVALID_HANDLE_VALUE) << "the file is not held";
    // Moving hands the file over without closing it; the moved-from owner is empty.
    UniqueFile taken(std::move(held));
    EXPECT_FALSE(held);
    EXPECT_EQ(OpenAlone(file), INVALID_HANDLE_VALUE);
    taken.reset();
    UniqueFile again(OpenAlone(file));
    EXPECT_TRUE(again) << "reset did not close the file";
}

TEST(UniqueHandles, EventsAreEmptyAsNull) {
    UniqueHandleObj none;
    EXPECT_FALSE(none);
    UniqueHandleObj event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    EXPECT_TRUE(SetEvent(event.get()));
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace vt

#include "browser/file_operation_text.h"

#include <gtest/gtest.h>

using namespace browser;

TEST(FileOperationText, NamesAndJoinsPathsWhateverTheirBackslashes) {
    EXPECT_EQ(EntryName(L"C:\\a\\照片"), L"照片");
    EXPECT_EQ(EntryName(L"C:\\a\\照片\\"), L"照片");
    EXPECT_EQ(EntryName(L"b.txt"), L"b.txt");
    EXPECT_EQ(JoinPath(L"D:\\", L"b.txt"), L"D:\\b.txt");
    EXPECT_EQ(JoinPath(L"D:\\目标", L"b.txt"), L"D:\\目标\\b.txt");
    EXPECT_EQ(JoinPath(L"D:\\目标\\", L"b.txt"), L"D:\\目标\\b.txt");
}

TEST(FileOperationText, OneReportNamesEachFailureWithItsReasonAndCutsLongLists) {
    EXPECT_EQ(FailureReport(FileOperation::Move, {}), L"");
    std::vector<Failure> failures{{L"C:\\a.txt", FailureReason::Exists, L""},
                                  {L"C:\\b.txt", FailureReason::Other, L"设备未就绪。"}};
    std::wstring text = FailureReport(FileOperation::Move, failures);
    EXPECT_EQ(text, L"以下 2 项未能移动：\r\n\r\nC:\\a.txt\r\n    目标文件夹中已有同名的文件或文件夹"
                    L"\r\n\r\nC:\\b.txt\r\n    设备未就绪。");
    failures.resize(20, {L"C:\\c.txt", FailureReason::InUse, L""});
    text = FailureReport(FileOperation::Delete, failures, 3);
    EXPECT_EQ(text.find(L"以下 20 项未能删除："), 0u);
    EXPECT_NE(text.find(L"正被其他程序使用"), std::wstring::npos);
    EXPECT_NE(text.find(L"……另有 17 项"), std::wstring::npos);
}

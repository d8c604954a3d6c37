#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/afx/core/afxcore.h"

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape {
    DECLARE_DYNCREATE(CCircle)
public:
    int radius = 7;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

class CSquare : public CShape {
    DECLARE_DYNAMIC(CSquare)
};
IMPLEMENT_DYNAMIC(CSquare, CShape)

} // namespace

TEST(RuntimeClass, IsKindOfFollowsTheDeclaredHierarchy) {
    CCircle circle;
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(circle.IsKindOf(RUNTIME_CLASS(CSquare)));
    CSquare square;
    EXPECT_TRUE(square.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_FALSE(square.IsKindOf(RUNTIME_CLASS(CCircle)));
    const CObject& asObject = circle;
    EXPECT_STREQ(asObject.GetRuntimeClass()->m_lpszClassName, "CCircle");
    EXPECT_EQ(asObject.GetRuntimeClass()->m_nObjectSize, static_cast<int>(sizeof(CCircle)));
    EXPECT_TRUE(RUNTIME_CLASS(CSquare)->IsDerivedFrom(RUNTIME_CLASS(CShape)));
    EXPECT_FALSE(RUNTIME_CLASS(CShape)->IsDerivedFrom(RUNTIME_CLASS(CSquare)));
}

TEST(RuntimeClass, FrameworkClassesKnowTheirBases) {
    CStdioFile text;
    EXPECT_TRUE(text.IsKindOf(RUNTIME_CLASS(CFile)));
    CFile plain;
    EXPECT_FALSE(plain.IsKindOf(RUNTIME_CLASS(CStdioFile)));
    CFileException fileError;
    EXPECT_TRUE(fileError.IsKindOf(RUNTIME_CLASS(CException)));
    EXPECT_FALSE(fileError.IsKindOf(RUNTIME_CLASS(CMemoryException)));
}

TEST(RuntimeClass, CreatesOnlyDynCreateClassesAndFindsThemByName) {
    std::unique_ptr<CObject> made(RUNTIME_CLASS(CCircle)->CreateObject());
    ASSERT_NE(made, nullptr);
    ASSERT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_EQ(static_cast<CCircle*>(made.get())->radius, 7);
    EXPECT_EQ(RUNTIME_CLASS(CSquare)->CreateObject(), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CCircle"), RUNTIME_CLASS(CCircle));
    EXPECT_EQ(CRuntimeClass::FromName("CFile"), RUNTIME_CLASS(CFile));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
}

TEST(Exceptions, ThrownAsPointersAndDeletedByTheCatcher) {
    try {
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, "data.bin");
    } catch (CException* e) {
        ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
        auto* fe = static_cast<CFileException*>(e);
        EXPECT_EQ(fe->m_cause, CFileException::diskFull);
        EXPECT_EQ(fe->m_lOsError, ERROR_DISK_FULL);
        EXPECT_STREQ(fe->m_strFileName, "data.bin");
        char text[256];
        EXPECT_TRUE(fe->GetErrorMessage(text, sizeof text));
        EXPECT_NE(std::strstr(text, "data.bin"), nullptr);
        e->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        char text[64];
        EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
        e->Delete();
    }
}

TEST(Exceptions, ErrorMessageRespectsTheBufferSize) {
    CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "/some/long/folder/name.txt");
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof text));
    EXPECT_EQ(std::strlen(text), 7u);
    EXPECT_FALSE(e.GetErrorMessage(text, 0));
}

TEST(Exceptions, StackExceptionIsNotFreedByDelete) {
    CFileException onStack(CFileException::badSeek);
    onStack.m_bAutoDelete = FALSE;
    onStack.Delete(); // must leave the object alone (ASan would report a bad free)
    EXPECT_EQ(onStack.m_cause, CFileException::badSeek);
}

TEST(Exceptions, SystemErrorsMapToCauses) {
    struct Case {
        LONG os;
        int cause;
    };
    const Case cases[] = {
        {ERROR_SUCCESS, CFileException::none},
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_WRITE_PROTECT, CFileException::accessDenied},
        {ERROR_INVALID_HANDLE, CFileException::invalidFile},
        {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
        {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_NOT_LOCKED, CFileException::lockViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_HANDLE_EOF, CFileException::endOfFile},
        {ERROR_INVALID_PARAMETER, CFileException::genericException},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CFileException::OsErrorToException(c.os), c.cause) << "system error " << c.os;
    EXPECT_EQ(CFileException::ErrnoToException(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::ErrnoToException(ENOSPC), CFileException::diskFull);
    EXPECT_EQ(CFileException::ErrnoToException(EACCES), CFileException::accessDenied);
    // The cause numbers are part of the interface that callers switch on.
    EXPECT_EQ(CFileException::endOfFile, 14);
    EXPECT_EQ(CFileException::diskFull, 13);
}

TEST(Diagnostics, TraceFormatsIntoTheDebugOutput) {
    std::string captured;
    DebugOutputSink previous = SetDebugOutputSink([&](const char* text) { captured += text; });
    TRACE("value=%d %s\n", 5, "five");
    const std::string longText(3000, 'w');
    TRACE("%s", longText.c_str());
    SetDebugOutputSink(previous);
    EXPECT_EQ(captured, "value=5 five\n" + longText);
    int calls = 0;
    VERIFY(++calls == 1); // evaluated in every build
    EXPECT_EQ(calls, 1);
}

// Japanese texts (the AVI server's messages, method names, dialog texts) must show real glyphs:
// laid out in the application's font, every character finds a font that has it, so no empty box
// (the glyph 0 of a font) is drawn. Fails on a machine without a Japanese font.
#include <QApplication>
#include <QGlyphRun>
#include <QTextLayout>

#include "afx/afx_test_app.h"

namespace {

TEST(JapaneseTextTest, EveryCharacterOfAMessageHasAGlyph) {
    EnsureQt();
    const QString text = QString::fromUtf8("ファイルを開けません。正規化相関（ＯＫ）");
    QTextLayout layout(text, QApplication::font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    qsizetype glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 index : run.glyphIndexes()) {
            EXPECT_NE(index, 0u) << "no glyph in " << run.rawFont().familyName().toStdString();
            ++glyphs;
        }
    }
    EXPECT_EQ(glyphs, text.size());
}

} // namespace

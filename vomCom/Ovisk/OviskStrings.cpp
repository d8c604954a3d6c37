#include "vomCom/Ovisk/OviskStrings.h"

namespace {
struct Entry {
    int id;
    const char* text;
};

constexpr Entry kTable[] = {
    {IDS_PROJNAME, "Ovisk"},
    {IDS_NOT_OPENED, "オープンされていません。"},
    {IDS_DIB_OPEN, "Dibのオープンに失敗しました。"},
    {IDS_INVALID_FRAME, "無効なフレームが指定されました。"},
    {IDS_NO_MEMORY, "WinAVI::メモリが確保できませんでした。"},
    {IDS_INVALID_HANDLE, "無効なハンドルが指定されました。"},
    {IDS_NO_READER, "WinAvi::クラスがインスタンスされていません。"},
    {IDS_INVALID_STREAM, "無効なストリームが指定されました。"},
    {IDS_READ_FRAME, "フレームが読めません。"},
    {IDS_DRAW_ERROR, "Draw Error"},
    {IDS_DECODE_STREAM, "ストリームのデコードに失敗しました。このフォーマットは読めません。"},
    {IDS_BAD_FORMAT, "ファイルが破損しているか、フォーマットが不明のため、読み取りできませんでした。"},
    {IDS_OPEN_MEMORY, "メモリ不足のため、ファイルを開けませんでした。"},
    {IDS_DISK_READ, "ファイルの読み取り中にディスク エラーが発生しました。"},
    {IDS_DISK_OPEN, "ファイルのオープン中にディスク エラーが発生しました。"},
    {IDS_NO_HANDLER,
     "AVIFileOpen 関数で指定されたファイルタイプを持つハンドラが、レジストリに見つかりませんでした。"},
};
} // namespace

const char* OviskString(int id) {
    for (const Entry& e : kTable)
        if (e.id == id)
            return e.text;
    return "";
}

#pragma once

#include <QString>

class QClipboard;

namespace vesk {

class TVeskToolBar;
class TVeskToolHost;

// Cut, copy and paste of the selected objects through the system clipboard,
// as the bare object records of a document under the editor's own format,
// so that everything an object stores survives, within one editor and
// between two running ones. Data of other formats on the clipboard stay.
class TClipboardCommands {
public:
    // The editor's format: Qt on Windows registers it under the name
    // "CF_VESK2.01_OBJ"; elsewhere it is an ordinary MIME type.
    static const QString kMimeType;

    TClipboardCommands(TVeskToolHost& host, TVeskToolBar& tools, QClipboard& clipboard);

    // The selected objects (a selected group whole) go to the clipboard;
    // false when nothing could be placed there.
    bool Copy();
    // Copy, then the objects copied leave the document as one history step.
    // Nothing is deleted that did not reach the clipboard.
    bool Cut();
    // The clipboard's objects join the document where they were, as the only
    // selected objects, in one history step; layers they name that the
    // document lacks are added. Bytes that stop forming records end the
    // paste there, keeping what came before; records whose values no drawing
    // can have are left out and counted in the status bar. Returns how many
    // were pasted.
    int Paste();

private:
    TVeskToolHost& host_;
    TVeskToolBar& tools_;
    QClipboard& clipboard_;
};

} // namespace vesk

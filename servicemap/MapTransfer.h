#pragma once

#include "server/OstrelServer.h"
#include "servicemap/ServiceMap.h"

#include <windows.h>
#include <objidl.h>

#include <functional>

// Reading a phone's "RDM_DEV_MAP" through its file system and writing an edited table back,
// each step a call to the device server. Both show their failures in message boxes over the
// dialog that runs them, captioned "NORVIK Service Port Mapping", and are kept apart from that
// dialog so that they can be driven with streams of any content.
namespace ServiceMap {

// What the read table is handed to: the dialog's two lists, each taking it from the stream's
// start. A failed status raised here fails the read as a failed server call does.
using TableReceiver = std::function<void(IStream* table)>;

// Copies the whole file into a new stream in memory, fills `asRead` from its first 23 bytes
// (0xFF where the file is shorter), then hands the stream to `receive`. A phone without a file
// system of version 2 is told so; a failed call shows its status and text. A failure before the
// file is copied leaves `asRead` as it was given (all 0xFF from the dialog), so that OK then
// writes nothing unless the user edits. True when the table was read and handed on.
bool ReadMap(IPhoneEfs* efs, HWND owner, Table& asRead, const TableReceiver& receive);

enum class WriteOutcome {
    unchanged, // the edited table is the one read: nothing sent
    declined,  // the user kept DIAG from going nowhere
    written,   // on the phone, and the phone reset when asked
    failed,    // shown to the user; the phone may or may not hold the table
};

// What OK does with the edited table: reads at most 23 bytes from the stream's start, writes
// them when they differ from `asRead` (after the DIAG question when no shown device carries
// DIAG), then, when `reset` is set, restarts the phone and waits for it to come back online.
WriteOutcome WriteMap(const Table& asRead, IStream* edited, IPhoneEfs* efs, IOstrelPort* port, bool reset,
                      HWND owner);

// The messages of a failed server call before the map could be read (its status and text), and
// of every other failure of the map's flow: the lists' or the table's own.
void ShowReadFailure(HWND owner, HRESULT status);
void ShowWriteFailure(HWND owner);

} // namespace ServiceMap

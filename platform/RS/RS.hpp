// RS: the host's resource access. A module's resources are compiled from .grc text at build time into a
// RS::ModuleData table that the module file carries; the host opens it as a GSResModule and the module
// reads string lists, dialog layouts and its identifier through the handle.
#pragma once

#include "Definitions.hpp"
#include "UniString.hpp"

using GSResModule = Int32;
constexpr GSResModule InvalidResModule = 0;

namespace RS {

struct StringEntry {
    GSResID listId;
    Int32 index;       // entries are numbered from 1
    const char* text;  // UTF-8, control codes such as "^ES" as written
};

enum class DialogKind : Int32 { Palette = 1, Modal = 2 };
enum class DialogItemKind : Int32 { Browser = 1, Button = 2, StaticText = 3 };

struct DialogItem {
    DialogItemKind kind;
    Int16 x, y, width, height;
};

struct Dialog {
    GSResID id;
    DialogKind kind;
    bool resizable;
    Int16 x, y, width, height;
    const char* title;
    const DialogItem* items;  // item n is items[n - 1]
    Int32 itemCount;
};

struct ModuleIdentifier {
    GSResID id;
    UInt32 developerId;
    UInt32 localId;
};

struct ModuleData {
    const StringEntry* strings;
    Int32 stringCount;
    const Dialog* dialogs;
    Int32 dialogCount;
    const ModuleIdentifier* identifiers;
    Int32 identifierCount;
};

// Name of the table a compiled module exports; the host looks it up when it loads the module.
constexpr const char* ModuleDataSymbol = "GSResourceModuleData";

// Host side: opens a module's table (kept by reference, it must outlive the handle) and closes it.
GSResModule RSOpenModule(const ModuleData* data);
void RSCloseModule(GSResModule module);

const Dialog* RSGetDialog(GSResModule module, GSResID dialogId);
bool RSGetModuleIdentifier(GSResModule module, GSResID id, UInt32* developerId, UInt32* localId);

}  // namespace RS

// Entry `index` (1-based) of string list `resID`; false and an empty text when there is none.
bool RSGetIndString(GS::UniString* str, GSResID resID, Int32 index, GSResModule resModule);

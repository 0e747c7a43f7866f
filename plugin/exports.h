// Entry points the host calls. cdecl, undecorated names (Tarnivel.def).
#pragma once

#include <windows.h>

#include "plugin/chipstate.h"

struct EditHelperParams;

extern "C" {
int __cdecl DrawExSpecification(SpecInfo* info);
int __cdecl InitializeChip(HGLOBAL* handleOut, HWND chipWindow, const HostChipInfo* info);
int __cdecl UnInitializeChip(HGLOBAL chip, HWND chipWindow);
int __cdecl Update(HGLOBAL chip, HWND chipWindow, const HostChipInfo* info);
int __cdecl GetSaveData(HGLOBAL chip, HWND chipWindow, HGLOBAL* block);
int __cdecl GetMemoString(void* unused, char* buffer, int size);
int __cdecl GetTimerSpan();
int __cdecl ExchangeSendString();
HMENU __cdecl GetDrawExMenu(HGLOBAL chip);
int __cdecl DoDrawExMenu(HGLOBAL chip, HWND chipWindow, UINT command);
int __cdecl DrawExAbout(HWND parent);
void __cdecl Zoom();
int __cdecl DoTimer();
int __cdecl EditHelper(HWND owner, EditHelperParams* params);
int __cdecl DrawExConfigure(HWND parent);
}

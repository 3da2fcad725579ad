// Text conversions between the module's 8-bit texts and the UTF-16 of the wide
// Win32 and COM calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/window_surface.h"

// From the given code page (CP_UTF8 for the module's own fixed texts,
// CP_THREAD_ACP for the host's texts).
std::wstring WideFrom(std::string_view text, UINT codePage);

// To the thread's ANSI code page, the host's code page; characters it cannot
// hold become its default character.
std::string AnsiFrom(std::wstring_view text);

// A caption as the wide API takes it: UTF-8 around the host's call.
std::wstring WideCaption(const Caption& caption);

// A Windows kernel object handle that is closed when its owner goes away.
#pragma once

#include "base/unique_resource.h"

#include <windows.h>

namespace tallyrun {

inline void CloseKernelHandle(HANDLE handle) noexcept { ::CloseHandle(handle); }
using UniqueHandle = UniqueResource<HANDLE, CloseKernelHandle>;

// For the calls that fail with INVALID_HANDLE_VALUE rather than null (CreateFile, CreateNamedPipe).
inline UniqueHandle FileHandle(HANDLE handle) noexcept
{
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace tallyrun

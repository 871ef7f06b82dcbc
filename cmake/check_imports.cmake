# Fails when a Windows binary would not load on Windows XP SP3 (5.1; 5.2 for
# the x64 edition): a system version in its header above that, an import from
# a DLL XP does not have (or that is not part of the system), or an import of a
# function that XP's DLLs lack.
#   cmake -DOBJDUMP=<objdump> -DBINARY=<dll or exe> -P check_imports.cmake
#   cmake -DLISTING=<saved "objdump -p" output> -P check_imports.cmake
cmake_policy(VERSION 3.21)

# DLLs the binaries may import from: the system's own, all present on XP SP3.
# Anything else (a runtime DLL, an api-ms-win-* set, dwmapi, ucrtbase) would
# have to be shipped beside the binary or does not exist on XP.
set(allowed_dlls
  KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll ole32.dll OLEAUT32.dll msvcrt.dll
  COMCTL32.dll COMDLG32.dll WINSPOOL.DRV SHLWAPI.dll VERSION.dll gdiplus.dll UxTheme.dll
  msimg32.dll IMM32.dll)

# Functions those DLLs have only from Vista on (regular expressions over the
# import's name). Most arrive unasked: through the thread runtime, through a
# header that declares the newer function when _WIN32_WINNT is raised, or
# through a library function that uses them. Each must instead be looked up
# with GetProcAddress, with a fallback for XP.
set(denied_functions
  # Tick count and synchronisation (the thread runtime reaches for these).
  "GetTickCount64"
  "InitializeSRWLock" "(Acquire|Release|TryAcquire)SRWLock.*"
  "InitializeConditionVariable" "SleepConditionVariable.*" "Wake(All)?ConditionVariable"
  "InitOnce.*" "Fls(Alloc|GetValue|SetValue|Free)"
  "InitializeCriticalSectionEx" "Create(Event|Mutex|Semaphore|WaitableTimer)Ex[AW]"
  "GetQueuedCompletionStatusEx" "CancelIoEx" "InterlockedCompareExchange64"
  # Files, processes and errors.
  "GetFinalPathNameByHandle[AW]" "CreateSymbolicLink[AW]" "GetFileInformationByHandleEx"
  "SetFileInformationByHandle" "QueryFullProcessImageName[AW]" "GetErrorMode" "K32.*"
  # Locale names (XP knows locales only by LCID).
  "GetLocaleInfoEx" "LCIDToLocaleName" "LocaleNameToLCID" "GetUserDefaultLocaleName"
  "GetSystemDefaultLocaleName" "CompareStringEx" "LCMapStringEx" "Get(Date|Time)FormatEx"
  "GetThreadUILanguage"
  # Registry.
  "RegGetValue[AW]" "RegCopyTree[AW]" "RegDeleteTree[AW]" "RegSetKeyValue[AW]" "RegDeleteKeyValue[AW]"
  "RegLoadMUIString[AW]"
  # Shell and COM.
  "SHGetKnownFolderPath" "SHGetKnownFolderIDList" "SHCreateItemFromParsingName" "SHGetStockIconInfo"
  "RegisterTypeLibForUser" "UnRegisterTypeLibForUser" "CoGetApartmentType"
  # Windows.
  "SetProcessDPIAware" "ChangeWindowMessageFilter(Ex)?" "TaskDialog(Indirect)?"
  # The C runtime: XP's msvcrt.dll has no secure (_s) or per-locale (_l)
  # functions and no 64-bit stream positions.
  ".*_s" ".*_l" "_fseeki64" "_ftelli64")

if(DEFINED LISTING)
  file(READ "${LISTING}" dump)
  set(BINARY "${LISTING}")
else()
  execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${BINARY}")
  endif()
endif()
# Square brackets and semicolons would upset CMake lists: take them out first.
string(REGEX REPLACE "[][;]" " " dump "${dump}")

set(problems)

# XP's loader also refuses an image that asks for a newer system.
set(oldest 5.1)
if(dump MATCHES "Magic[ \t]+020b")
  set(oldest 5.2)
endif()
foreach(field OSystem Subsystem)
  if(NOT dump MATCHES "Major${field}Version[ \t]+([0-9]+)[^\n]*\nMinor${field}Version[ \t]+([0-9]+)")
    list(APPEND problems "no ${field} version in the header")
  elseif("${CMAKE_MATCH_1}.${CMAKE_MATCH_2}" VERSION_GREATER oldest)
    list(APPEND problems "${field} version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2} is above ${oldest}")
  endif()
endforeach()

# One import directory entry per DLL: its name, a header line, then one line
# per function ("<vma> <hint> <name>", or "<vma> <ordinal> <none>" for an
# import by ordinal) up to a blank line.
string(REPLACE "\n" ";" lines "${dump}")
set(dll "")
set(imported 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*DLL Name: (.+)$")
    string(STRIP "${CMAKE_MATCH_1}" dll)
    string(TOUPPER "${dll}" dll_upper)
    set(known FALSE)
    foreach(allowed IN LISTS allowed_dlls)
      string(TOUPPER "${allowed}" allowed_upper)
      if(dll_upper STREQUAL allowed_upper)
        set(known TRUE)
      endif()
    endforeach()
    if(NOT known)
      list(APPEND problems "imports from ${dll}, which is not a system DLL of Windows XP")
    endif()
  elseif(line MATCHES "^[ \t]*$")
    set(dll "")
  elseif(dll AND line MATCHES "^[ \t]*[0-9a-f]+[ \t]+[0-9]+[ \t]+([^ \t]+)")
    set(function "${CMAKE_MATCH_1}")
    math(EXPR imported "${imported} + 1")
    foreach(denied IN LISTS denied_functions)
      if(function MATCHES "^(${denied})$")
        list(APPEND problems "imports ${function} from ${dll}, which Windows XP lacks")
        break()
      endif()
    endforeach()
  endif()
endforeach()

if(imported EQUAL 0)
  list(APPEND problems "no imported function found: the listing was not understood")
endif()
if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${BINARY} would not load on Windows XP SP3:\n  ${text}")
endif()

// Text values of the registry store.
//
// The store is the text file "registry.txt" in the configuration directory
// (u_config_dir), written like a registry export:
//
//   ; a comment
//   [HKEY_LOCAL_MACHINE\Software\Maker\Product]
//   "InstallDir"="/opt/product"
//   "Count"=dword:00000003
//   @="the key's default value"
//
// A section names a root and a key; below it each line gives one value:
// a quoted name (or @ for the key's default value), '=', and the data. Data
// in double quotes is a text value (\\ and \" stand for \ and "); any other
// data (dword:, hex:) is a value of another type. Root, key and value names
// match without regard to case.
#pragma once

#include <cstdint>

// The roots, with the numbers the callers use for them.
inline constexpr uint32_t U_REG_CLASSES_ROOT = 0x80000000u;
inline constexpr uint32_t U_REG_CURRENT_USER = 0x80000001u;
inline constexpr uint32_t U_REG_LOCAL_MACHINE = 0x80000002u;
inline constexpr uint32_t U_REG_USERS = 0x80000003u;

// Name of the store file in the configuration directory.
inline constexpr const char* U_REGISTRY_FILE_NAME = "registry.txt";

// Reads the text value `value` (null or empty: the default value) of `key`
// under `root` into `buffer` (`size` bytes). Returns 0 on success, 1 when
// the store, the key or the value is missing, the value is not a text value,
// or it does not fit (the buffer is then left empty).
int32_t u_registry_text(uint32_t root, const char* key, const char* value, char* buffer, int32_t size);

#pragma once

// Process-wide constants of the player.
namespace AppInfo {

inline constexpr char name[] = "Zentria Media Player";
inline constexpr char version[] = "2.2.16";

}  // namespace AppInfo

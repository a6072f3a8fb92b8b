#pragma once

// The operator's hosts. The only place they are named: a profile points the
// player elsewhere through its settings ("server", "update-host",
// "local-service").
namespace OperatorHosts {

// Video server of the RPC session, the default of the "server" setting.
inline constexpr char tvServer[] = "tv.zentria.ru";

// Web host of the update files.
inline constexpr char webHost[] = "www.zentria.ru";

// Main domain, the portal host in developer mode.
inline constexpr char mainDomain[] = "zentria.ru";

// The film-database sites the portal links to; their pages open in the
// system's browser, with or without the "www." in front.
inline constexpr const char* filmDatabaseHosts[] = {"www.imdb.com", "www.kinopoisk.ru"};

// Port when a host is given without one.
inline constexpr int defaultPort = 80;

// The operator's own service on the subscriber's computer; a profile points
// the player elsewhere through its "local-service" setting (host:port).
inline constexpr char localServiceHost[] = "127.0.0.1";
inline constexpr int localServicePort = 4361;

}  // namespace OperatorHosts

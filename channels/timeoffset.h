#pragma once

// One entry of a channel's timeshift table: the server's offset id and how far
// back it reaches, in minutes (negative values look back).
struct TimeOffset
{
    int id = 0;
    int minutes = 0;
};

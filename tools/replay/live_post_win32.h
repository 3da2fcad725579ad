// replay --live over WinHTTP: each post to the scoreboard in turn, paced so that
// the whole contest passes in about `seconds`.
#pragma once

#include <string>
#include <vector>

#include "live_scores.h"

// Posts as text/xml; a user and password in the URL go as Basic authentication
// (the call and the station's key). Prints how many posts the scoreboard took and
// the first refusal. Throws std::runtime_error when the URL is not one, or when
// no post was taken.
void PostLive(const std::string& url, const std::vector<LivePost>& posts, int seconds);

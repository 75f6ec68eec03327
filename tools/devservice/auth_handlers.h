#pragma once

#include <string>

#include "devservice/request.h"
#include "devservice/state_store.h"

namespace devservice {

class Router;
struct ServiceContext;

// "auth/auth_verify.aspx" by kind: 0 login, 1 password change, 2 registration, 3 heartbeat,
// 4 logout, 6 avatar address, 7 SMS code, 9 download report, 11 download permission; and the
// unread-message count "zelk/seedMessage/SeedMessageApi.aspx".
void AddAuthHandlers(Router& router, ServiceContext& context);

// The account whose live sign this is; raises BadRequest when the sign is unknown, expired or
// belongs to another user id.
Account RequireSession(const StateStore& state, std::int32_t uid, const std::string& sign);

// Absolute address of an avatar picture as the client downloads it.
std::string AvatarUrl(const Request& request, const std::string& avatar);

}  // namespace devservice

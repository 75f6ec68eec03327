#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// "zelk/ClientUpdateApi.aspx?ver=<version>": whether a newer client is offered, and the
// package itself below "zelk/ClientUpdates/". The offer is update.json of the data folder.
void AddUpdateHandlers(Router& router, ServiceContext& context);

}  // namespace devservice

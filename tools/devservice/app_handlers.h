#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// "zelk/AppMarketAPI.aspx": req=2 categories, req=0 one page of apps of a category or of a
// search, req=3 (POST appNames=a,b,…) the current versions of installed apps.
void AddAppHandlers(Router& router, ServiceContext& context);

}  // namespace devservice

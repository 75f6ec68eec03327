#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// The home page's data: "zelk/NewsApi.aspx", "zelk/AdvertisementApi.aspx",
// "zelk/InformationStatisticsApi.aspx", and the usage reports "zelk/RecordUserBehavior.aspx".
void AddHomeHandlers(Router& router, ServiceContext& context);

}  // namespace devservice

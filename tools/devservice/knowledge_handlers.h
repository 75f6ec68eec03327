#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// "zelk/SearchEngine.aspx" (the search, and op=getdown for a download request of a web page)
// and "zelk/FileServerLiveForm.aspx" (where the file server listens).
void AddKnowledgeHandlers(Router& router, ServiceContext& context);

}  // namespace devservice

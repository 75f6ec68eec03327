#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// The web pages: the six tabs of the main window, the web windows (question, answers,
// feedback, profile, messages), the pages opened in the browser (forgotten password, help,
// share, news, advertisement targets) and the site's home page. Pages of the client's windows
// send page commands through zelkCommand() of zelk.js and offer "zelk://download/…" links.
void AddPageHandlers(Router& router, ServiceContext& context);

}  // namespace devservice

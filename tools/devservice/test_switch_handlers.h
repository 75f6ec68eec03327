#pragma once

namespace devservice {

class Router;
struct ServiceContext;

// Switches for tests and for watching the client's recovery paths by hand:
//   "_dev/hijack?path=PATH&count=N"  the next N replies of PATH carry the hijack marker
//                                     (N = 0 disarms it);
//   "_dev/requests?path=PATH"         how many requests of PATH arrived so far;
//   "_dev/expire-signs[?uid=N]"       login signs (of one user, or all) expire now, so the
//                                     next heartbeat asks the client to log in again;
//   "_dev/files/drop?after=N[,N…][&count=K][&reset=1][&clear=1]"
//                                     the next file-server connections are cut after N bytes
//                                     sent, one value per connection, the list K times over
//                                     (clear=1 forgets earlier plans first);
//   "_dev/files/status"               planned cuts left and cuts made.
void AddTestSwitchHandlers(Router& router, ServiceContext& context);

}  // namespace devservice

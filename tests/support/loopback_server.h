// A small HTTP server on 127.0.0.1 for end-to-end tests. Connections are served on worker
// threads: the engine opens connections ahead of its requests, and waiting on one of those from
// the main loop would freeze the window under test.
#pragma once

#include <gio/gio.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace tarvik::test {

class LoopbackServer {
 public:
  LoopbackServer();
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // Serves `body` at `path` ("/page.html") with the content type and extra header lines.
  void Serve(const std::string& path, const std::string& body,
             const std::string& content_type = "text/html; charset=utf-8",
             const std::string& extra_headers = "");
  // Serves a page whose body comes in two parts: the headers and `first` at once, `rest` after
  // `delay_ms` milliseconds.
  void ServeSlowly(const std::string& path, const std::string& first, const std::string& rest,
                   int delay_ms, const std::string& content_type = "text/html; charset=utf-8");
  std::string url(const std::string& path) const;
  int port() const { return port_; }
  // The paths requested so far, in order.
  std::vector<std::string> requests() const;
  int count(const std::string& path) const;
  // How many responses for `path` have been sent to the end.
  int served(const std::string& path) const;
  // The request line and headers of the last request for `path`. A request whose If-None-Match
  // names the ETag that the path's extra headers give is answered 304.
  std::string head(const std::string& path) const;
  // The value of the header `lower_name` in `head`, "" when absent.
  static std::string HeaderValue(const std::string& head, const std::string& lower_name);

 private:
  static gboolean OnRun(GThreadedSocketService*, GSocketConnection* connection, GObject*,
                        gpointer self);
  void Handle(GSocketConnection* connection);

  struct Resource {
    std::string body, content_type, extra_headers;
    std::string rest;  // sent after delay_ms
    int delay_ms = 0;
  };
  GSocketService* service_ = nullptr;
  int port_ = 0;
  std::map<std::string, Resource> resources_;
  std::vector<std::string> requests_;
  std::map<std::string, int> served_;
  std::map<std::string, std::string> heads_;
  mutable std::mutex mutex_;
  std::condition_variable idle_;
  int active_ = 0;           // connections being served
  std::set<GSocket*> open_;  // their sockets
};

}  // namespace tarvik::test

#include "support/loopback_server.h"

#include <algorithm>
#include <chrono>

namespace tarvik::test {

LoopbackServer::LoopbackServer() {
  service_ = g_threaded_socket_service_new(16);
  GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
  GSocketAddress* address = g_inet_socket_address_new(loopback, 0);
  GSocketAddress* effective = nullptr;
  g_socket_listener_add_address(G_SOCKET_LISTENER(service_), address, G_SOCKET_TYPE_STREAM,
                                G_SOCKET_PROTOCOL_TCP, nullptr, &effective, nullptr);
  if (effective) {
    port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(effective));
    g_object_unref(effective);
  }
  g_object_unref(address);
  g_object_unref(loopback);
  g_signal_connect(service_, "run", G_CALLBACK(OnRun), this);
  g_socket_service_start(service_);
}

LoopbackServer::~LoopbackServer() {
  g_socket_service_stop(service_);
  g_socket_listener_close(G_SOCKET_LISTENER(service_));
  g_signal_handlers_disconnect_by_data(service_, this);
  {
    // A slow page may still be on its way. A connection the engine opened ahead and keeps unused
    // would hold its worker until the engine closes it, after this has gone: it is shut.
    std::unique_lock<std::mutex> lock(mutex_);
    if (!idle_.wait_for(lock, std::chrono::seconds(5), [this] { return active_ == 0; }))
      for (GSocket* socket : open_) g_socket_shutdown(socket, TRUE, TRUE, nullptr);
    idle_.wait(lock, [this] { return active_ == 0; });
  }
  g_object_unref(service_);
}

void LoopbackServer::Serve(const std::string& path, const std::string& body,
                           const std::string& content_type, const std::string& extra_headers) {
  std::lock_guard<std::mutex> lock(mutex_);
  resources_[path] = {body, content_type, extra_headers};
}

void LoopbackServer::ServeSlowly(const std::string& path, const std::string& first,
                                 const std::string& rest, int delay_ms,
                                 const std::string& content_type) {
  std::lock_guard<std::mutex> lock(mutex_);
  resources_[path] = {first, content_type, "", rest, delay_ms};
}

int LoopbackServer::served(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = served_.find(path);
  return it == served_.end() ? 0 : it->second;
}

std::vector<std::string> LoopbackServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::string LoopbackServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LoopbackServer::count(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count(requests_.begin(), requests_.end(), path));
}

std::string LoopbackServer::head(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = heads_.find(path);
  return it == heads_.end() ? std::string() : it->second;
}

std::string LoopbackServer::HeaderValue(const std::string& head, const std::string& lower_name) {
  std::string lower = head;
  for (char& c : lower) c = g_ascii_tolower(c);
  const std::string key = "\n" + lower_name + ":";
  size_t at = ("\n" + lower).find(key);
  if (at == std::string::npos) return {};
  at += key.size() - 1;
  const size_t end = std::min(head.find("\r", at), head.find("\n", at));
  std::string value = head.substr(at, end == std::string::npos ? std::string::npos : end - at);
  const size_t first = value.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : value.substr(first);
}

gboolean LoopbackServer::OnRun(GThreadedSocketService*, GSocketConnection* connection, GObject*,
                               gpointer self) {
  auto* server = static_cast<LoopbackServer*>(self);
  {
    std::lock_guard<std::mutex> lock(server->mutex_);
    ++server->active_;
    server->open_.insert(g_socket_connection_get_socket(connection));
  }
  server->Handle(connection);
  std::lock_guard<std::mutex> lock(server->mutex_);
  server->open_.erase(g_socket_connection_get_socket(connection));
  --server->active_;
  server->idle_.notify_all();
  return TRUE;
}

void LoopbackServer::Handle(GSocketConnection* connection) {
  GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
  GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
  std::string request;
  char buf[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    gssize n = g_input_stream_read(in, buf, sizeof buf, nullptr, nullptr);
    if (n <= 0) break;
    request.append(buf, static_cast<size_t>(n));
  }
  std::string path = "/";
  size_t sp1 = request.find(' ');
  size_t sp2 = sp1 == std::string::npos ? sp1 : request.find(' ', sp1 + 1);
  if (sp2 != std::string::npos) path = request.substr(sp1 + 1, sp2 - sp1 - 1);
  std::string bare = path.substr(0, path.find('?'));
  if (request.empty()) return;  // a connection opened ahead and closed unused

  std::unique_lock<std::mutex> lock(mutex_);
  requests_.push_back(bare);
  heads_[bare] = request.substr(0, request.find("\r\n\r\n"));
  std::string response, rest;
  int delay_ms = 0;
  auto it = resources_.find(bare);
  if (it == resources_.end()) {
    std::string body = "<html><head><title>404</title></head><body>not found</body></html>";
    response = "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  } else if (const std::string etag = HeaderValue(it->second.extra_headers, "etag");
             !etag.empty() && HeaderValue(request, "if-none-match") == etag) {
    response = "HTTP/1.1 304 Not Modified\r\nETag: " + etag + "\r\nConnection: close\r\n\r\n";
  } else {
    const Resource& r = it->second;
    response = "HTTP/1.1 200 OK\r\nContent-Type: " + r.content_type +
               "\r\nContent-Length: " + std::to_string(r.body.size() + r.rest.size()) +
               "\r\nCache-Control: no-store\r\nConnection: close\r\n" + r.extra_headers + "\r\n" +
               r.body;
    rest = r.rest;
    delay_ms = r.delay_ms;
  }
  lock.unlock();
  g_output_stream_write_all(out, response.data(), response.size(), nullptr, nullptr, nullptr);
  if (delay_ms > 0) {
    g_output_stream_flush(out, nullptr, nullptr);
    g_usleep(static_cast<gulong>(delay_ms) * 1000);
  }
  if (!rest.empty())
    g_output_stream_write_all(out, rest.data(), rest.size(), nullptr, nullptr, nullptr);
  lock.lock();
  ++served_[bare];
  lock.unlock();
  g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
}

}  // namespace tarvik::test

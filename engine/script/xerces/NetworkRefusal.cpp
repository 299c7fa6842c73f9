// The network functions that Xerces-C's network accessor calls, for a
// KAVRO linked with Xerces-C's static library: scripts, grammars and DTDs
// are local files (ScriptParser resolves every resource to one and refuses
// the rest), so the engine does without libcurl and the TLS, Kerberos and
// LDAP libraries that come with it, which would otherwise be loaded and
// initialised at every start. The accessor is made when the XML library is
// initialised and ended with it; anything it would fetch fails as an
// unusable handle, which Xerces-C reports as an exception of its own.
//
// The declarations follow libcurl's (handles as pointers, CURLcode and
// CURLMcode as int, their first error codes).

namespace {
constexpr int kOk = 0;             // CURLE_OK, CURLM_OK
constexpr int kFailedInit = 2;     // CURLE_FAILED_INIT
constexpr int kBadHandle = 1;      // CURLM_BAD_HANDLE
constexpr int kUnknownOption = 48; // CURLE_UNKNOWN_OPTION
} // namespace

extern "C" {
int curl_global_init(long) { return kOk; }
void curl_global_cleanup() {}

void *curl_easy_init() { return nullptr; }
void curl_easy_cleanup(void *) {}
int curl_easy_setopt(void *, int, ...) { return kUnknownOption; }
int curl_easy_getinfo(void *, int, ...) { return kFailedInit; }

void *curl_multi_init() { return nullptr; }
int curl_multi_cleanup(void *) { return kBadHandle; }
int curl_multi_add_handle(void *, void *) { return kBadHandle; }
int curl_multi_remove_handle(void *, void *) { return kBadHandle; }
int curl_multi_perform(void *, int *running) {
    if (running != nullptr)
        *running = 0;
    return kBadHandle;
}
int curl_multi_fdset(void *, void *, void *, void *, int *maxFd) {
    if (maxFd != nullptr)
        *maxFd = -1;
    return kBadHandle;
}
int curl_multi_timeout(void *, long *timeout) {
    if (timeout != nullptr)
        *timeout = -1;
    return kBadHandle;
}
void *curl_multi_info_read(void *, int *queued) {
    if (queued != nullptr)
        *queued = 0;
    return nullptr;
}

void *curl_slist_append(void *, const char *) { return nullptr; }
void curl_slist_free_all(void *) {}
}

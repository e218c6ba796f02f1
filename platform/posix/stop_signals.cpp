// SPDX-License-Identifier: MIT
#include "platform/posix/stop_signals.h"

#include <signal.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t g_caught = 0;

void OnStopSignal(int signal) {
    g_caught = signal;
}

}  // namespace

namespace stop_signals {

void Install() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a sleeping wait wakes up at once
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int Caught() {
    return g_caught;
}

}  // namespace stop_signals

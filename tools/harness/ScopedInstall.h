// SPDX-License-Identifier: MIT
#pragma once
// Installs a host and a saver form for as long as it lives, and puts back what was installed
// before when it goes, however it goes (a failed assertion, an exception, the end of a scope).

class Form;
class HostServices;

class ScopedInstall {
  public:
    // host: the host services to install; saver: the form the run control ends (g_frmSaver).
    ScopedInstall(HostServices& host, Form* saver);
    ~ScopedInstall();
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

  private:
    HostServices* m_previousHost;
    Form* m_previousSaver;
};

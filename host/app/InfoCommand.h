#pragma once

class CHostContext;

// `wox info`: loads the scenario component through the library manager, creates it with the six
// host services, prints its identity and releases it. Answers the process exit code.
int RunInfoCommand(CHostContext& host);

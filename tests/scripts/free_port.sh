# Sourced by the script tests: free_port prints a loopback TCP port that nothing listens on. It is
# taken below Linux's range of ports for outgoing connections (32768 on), where another test's
# connection could hold it by the time a peer listens on it.
free_port() {
  local p
  while :; do
    p=$((20000 + RANDOM % 12000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
  done
}

# Sourced by the script tests: free_port prints a loopback TCP port that nothing listens on.
free_port() {
  local p
  while :; do
    p=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
  done
}
